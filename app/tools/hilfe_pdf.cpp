// Build tool: turns a help text written in Markdown into the PDF the program opens on F1.
// Usage: spinalyst_hilfe_pdf <input.md> <output.pdf> <document title>
// Runs on the offscreen platform; uses only Qt's own text layout and PDF writer.
#include <QAbstractTextDocumentLayout>
#include <QFile>
#include <QGuiApplication>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QTextDocument>
#include <QTextFrame>
#include <QTextFrameFormat>
#include <cstdio>

int main(int argc, char* argv[]) {
    QGuiApplication app(argc, argv);
    if (argc != 4) {
        std::fprintf(stderr, "usage: %s <input.md> <output.pdf> <title>\n", argv[0]);
        return 2;
    }
    QFile eingabe(QString::fromLocal8Bit(argv[1]));
    if (!eingabe.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "cannot read %s\n", argv[1]);
        return 1;
    }
    const QString markdown = QString::fromUtf8(eingabe.readAll());

    QPdfWriter pdf(QString::fromLocal8Bit(argv[2]));
    pdf.setTitle(QString::fromUtf8(argv[3]));
    pdf.setCreator(QStringLiteral("Molvane's Spinalyst Q/XA"));
    pdf.setResolution(300);
    pdf.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait,
                                  QMarginsF(20, 18, 20, 18), QPageLayout::Millimeter));

    QTextDocument dokument;
    QFont schrift(QStringLiteral("DejaVu Sans"));
    schrift.setPointSizeF(10.5);
    dokument.setDefaultFont(schrift);
    dokument.setMarkdown(markdown);
    // Lay the text out on the printable area of the page, in the writer's device units.
    const QRectF seite = pdf.pageLayout().paintRectPixels(pdf.resolution());
    dokument.documentLayout()->setPaintDevice(&pdf);
    dokument.setPageSize(seite.size());
    QTextFrameFormat rahmen = dokument.rootFrame()->frameFormat();
    rahmen.setMargin(0);
    dokument.rootFrame()->setFrameFormat(rahmen);

    dokument.print(&pdf);
    return 0;
}
