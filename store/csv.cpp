#include "store/csv.h"

#include <cmath>
#include <cstdio>

namespace spinalyst::store {

std::string csvField(std::string_view text, char separator) {
    const bool quote =
        text.find_first_of(std::string{separator, '"', '\r', '\n'}) != std::string_view::npos ||
        (!text.empty() && (text.front() == ' ' || text.front() == '\t' || text.back() == ' ' ||
                           text.back() == '\t'));
    if (!quote) {
        return std::string(text);
    }
    std::string out;
    out.reserve(text.size() + 2);
    out.push_back('"');
    for (char c : text) {
        if (c == '"') {
            out.push_back('"');
        }
        out.push_back(c);
    }
    out.push_back('"');
    return out;
}

void CsvWriter::next() {
    if (!first_) {
        out_ << separatorChar(separator_);
    }
    first_ = false;
}

CsvWriter& CsvWriter::text(std::string_view value) {
    next();
    out_ << csvField(value, separatorChar(separator_));
    return *this;
}

CsvWriter& CsvWriter::integer(std::int64_t value) {
    next();
    out_ << value;
    return *this;
}

CsvWriter& CsvWriter::decimal(double value, int decimals) {
    next();
    if (!std::isfinite(value)) {
        return *this;  // a value that is no number stays empty
    }
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.*f", decimals, value);
    std::string s = buffer;
    // printf follows the C locale, which the program never changes: the point is replaced.
    for (char& c : s) {
        if (c == '.') {
            c = decimalChar(separator_);
        }
    }
    out_ << s;
    return *this;
}

CsvWriter& CsvWriter::empty() {
    next();
    return *this;
}

void CsvWriter::endRow() {
    out_ << "\r\n";
    first_ = true;
}

void CsvWriter::row(std::span<const std::string> texts) {
    for (const std::string& t : texts) {
        text(t);
    }
    endRow();
}

std::vector<CsvRecord> readCsv(std::string_view text, char separator) {
    if (text.starts_with("\xEF\xBB\xBF")) {
        text.remove_prefix(3);
    }
    std::vector<CsvRecord> records;
    CsvRecord record;
    std::string field;
    int line = 1;
    bool inQuotes = false;
    bool fieldStarted = false;  // the record has a field (also an empty one before a separator)
    int quoteLine = 0;
    auto endRecord = [&] {
        if (fieldStarted || !field.empty()) {
            record.fields.push_back(std::move(field));
            records.push_back(std::move(record));
        }
        record = CsvRecord{};
        field.clear();
        fieldStarted = false;
    };
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (inQuotes) {
            if (c == '"') {
                if (i + 1 < text.size() && text[i + 1] == '"') {
                    field.push_back('"');
                    ++i;
                } else {
                    inQuotes = false;
                }
            } else {
                if (c == '\n' || (c == '\r' && !(i + 1 < text.size() && text[i + 1] == '\n'))) {
                    ++line;
                }
                field.push_back(c);
            }
            continue;
        }
        if (record.fields.empty() && !fieldStarted && field.empty()) {
            record.line = line;
        }
        if (c == '"' && field.empty()) {
            inQuotes = true;
            fieldStarted = true;
            quoteLine = line;
        } else if (c == separator) {
            record.fields.push_back(std::move(field));
            field.clear();
            fieldStarted = true;
        } else if (c == '\r' || c == '\n') {
            if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
                ++i;
            }
            endRecord();
            ++line;
        } else {
            field.push_back(c);
        }
    }
    if (inQuotes) {
        throw CsvError(quoteLine,
                       "line " + std::to_string(quoteLine) + ": a quoted field is not closed");
    }
    endRecord();
    return records;
}

}  // namespace spinalyst::store
