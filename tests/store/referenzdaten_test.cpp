#include "store/referenzdaten.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <limits>
#include <map>
#include <set>
#include <stdexcept>
#include <string>
#include <tuple>
#include <vector>

namespace spinalyst::store {
namespace {

using Zahlen = std::set<int>;

const ReferenceRows& tableRows(const std::vector<ReferenceRows>& all, std::string_view name) {
    for (const auto& r : all) {
        if (name == r.table->name) {
            return r;
        }
    }
    throw std::logic_error("no reference rows for " + std::string(name));
}

int storedPosition(const TableDef& t, std::string_view fieldName) {
    int position = 0;
    for (const auto& f : t.fields) {
        if (!f.stored()) {
            continue;
        }
        if (fieldName == f.name) {
            return position;
        }
        ++position;
    }
    throw std::logic_error("no stored field " + std::string(fieldName));
}

const Value& at(const ReferenceRows& r, const std::vector<Value>& row, std::string_view field) {
    return row.at(static_cast<std::size_t>(storedPosition(*r.table, field)));
}

// Characters of a UTF-8 text (the field sizes count characters, not bytes).
std::size_t characters(const std::string& s) {
    return static_cast<std::size_t>(
        std::count_if(s.begin(), s.end(), [](char c) { return (c & 0xC0) != 0x80; }));
}

bool rot(int z) {
    static const Zahlen kRot = {1, 3, 5, 7, 9, 12, 14, 16, 18, 19, 21, 23, 25, 27, 30, 32, 34, 36};
    return kRot.count(z) > 0;
}

Zahlen alle(int von, int bis, int schritt = 1) {
    Zahlen s;
    for (int z = von; z <= bis; z += schritt) {
        s.insert(z);
    }
    return s;
}

// Layout position of 1..36: row 0..11, column 0..2.
int reihe(int z) {
    return (z - 1) / 3;
}
int spalte(int z) {
    return (z - 1) % 3;
}

class ReferenzdatenTest : public ::testing::Test {
  protected:
    ReferenzdatenTest()
        : roulette(referenceRows(DatabaseFile::Roulette)),
          dm(referenceRows(DatabaseFile::DmModul)),
          ereignisse(tableRows(roulette, "Ereignisse")) {
        const auto& ez = tableRows(roulette, "Ereignis_Zahl");
        for (const auto& row : ez.rows) {
            mitglieder[at(ez, row, "ID_Ereignis").toInt()].insert(at(ez, row, "Zahl").toInt());
        }
    }

    // The events of a range of identifiers that hold the number.
    int treffer(int zahl, int von, int bis) const {
        int n = 0;
        for (int id = von; id <= bis; ++id) {
            auto it = mitglieder.find(id);
            n += it != mitglieder.end() && it->second.count(zahl) ? 1 : 0;
        }
        return n;
    }

    Zahlen von(int id) const {
        auto it = mitglieder.find(id);
        return it == mitglieder.end() ? Zahlen{} : it->second;
    }

    std::vector<ReferenceRows> roulette;
    std::vector<ReferenceRows> dm;
    const ReferenceRows& ereignisse;
    std::map<int, Zahlen> mitglieder;
};

struct Klasse {
    int chance;
    int von;
    int bis;
};
constexpr Klasse kKlassen[] = {{1, 1, 6},    {2, 7, 12},    {5, 13, 23},   {8, 24, 46},
                               {11, 47, 58}, {17, 59, 116}, {35, 117, 153}};

TEST_F(ReferenzdatenTest, ChanceClassesOccupyTheirIdentifierRanges) {
    std::map<int, int> klasseVon;  // id -> chance class of its range
    for (const auto& k : kKlassen) {
        for (int id = k.von; id <= k.bis; ++id) {
            klasseVon[id] = k.chance;
        }
    }
    ASSERT_EQ(klasseVon.size(), 153u);

    std::set<int> gesehen;
    for (const auto& row : ereignisse.rows) {
        const int id = at(ereignisse, row, "ID_Ereignis").toInt();
        SCOPED_TRACE("event " + std::to_string(id));
        ASSERT_TRUE(klasseVon.count(id));
        EXPECT_TRUE(gesehen.insert(id).second) << "identifier twice";
        const int chance = klasseVon[id];
        EXPECT_EQ(at(ereignisse, row, "ID_Gruppe_Ereignis"), Value(chance));
        EXPECT_EQ(at(ereignisse, row, "Ereignis_Gewinn"), Value(chance));
        EXPECT_EQ(at(ereignisse, row, "Ereignis_Einsatz"), Value(1));
        // A payout of q to 1 belongs to 36 / (q + 1) numbers.
        EXPECT_EQ(static_cast<int>(von(id).size()) * (chance + 1), 36)
            << "members do not match the payout";
        for (const char* working :
             {"Zahlen_Anzahl", "Zahlen_Prozent", "Serien", "Serien_Kennzeichen",
              "Rueckstaendigkeit", "Rueckstaendigkeit_Kennzeichen",
              "Rueckstaendigkeit_1_Ereignis"}) {
            EXPECT_TRUE(at(ereignisse, row, working).isNull()) << working;
        }
    }
    EXPECT_EQ(gesehen.size(), 153u);
    for (const auto& [id, zahlen] : mitglieder) {
        EXPECT_TRUE(gesehen.count(id)) << "members of unknown event " << id;
    }

    const auto& sc = tableRows(roulette, "System_Chancen");
    std::set<int> schluessel;
    for (const auto& row : sc.rows) {
        schluessel.insert(at(sc, row, "ID_System_Chancen").toInt());
        EXPECT_FALSE(at(sc, row, "Chancen").toText().empty());
    }
    EXPECT_EQ(schluessel, (std::set<int>{1, 2, 5, 8, 11, 17, 35}));
    EXPECT_EQ(sc.rows.size(), schluessel.size());
}

TEST_F(ReferenzdatenTest, RepresentativeEventsHoldTheirNumbers) {
    struct Fall {
        int id;
        Zahlen zahlen;
    };
    Zahlen red, black;
    for (int z = 1; z <= 36; ++z) {
        (rot(z) ? red : black).insert(z);
    }
    const Fall faelle[] = {
        {1, red},
        {2, black},
        {3, alle(2, 36, 2)},
        {4, alle(1, 35, 2)},
        {5, alle(1, 18)},
        {6, alle(19, 36)},
        {7, alle(1, 12)},
        {8, alle(13, 24)},
        {9, alle(25, 36)},
        {10, alle(1, 34, 3)},
        {11, alle(2, 35, 3)},
        {12, alle(3, 36, 3)},
        {13, alle(1, 6)},
        {14, alle(4, 9)},
        {23, alle(31, 36)},
        {24, {0, 1, 2, 3}},
        {25, {1, 2, 4, 5}},
        {26, {2, 3, 5, 6}},
        {46, {32, 33, 35, 36}},
        {47, {1, 2, 3}},
        {58, {34, 35, 36}},
        {117, {0}},
        {118, {1}},
        {153, {36}},
    };
    for (const auto& f : faelle) {
        EXPECT_EQ(von(f.id), f.zahlen) << "event " << f.id;
    }
}

TEST_F(ReferenzdatenTest, EveryNumberLiesInOneEventOfEachPartition) {
    struct Teilung {
        const char* name;
        int von;
        int bis;
    };
    const Teilung teilungen[] = {
        {"red/black", 1, 2}, {"even/odd", 3, 4},  {"low/high", 5, 6},    {"dozens", 7, 9},
        {"columns", 10, 12}, {"streets", 47, 58}, {"singles", 117, 153},
    };
    for (int z = 1; z <= 36; ++z) {
        for (const auto& t : teilungen) {
            EXPECT_EQ(treffer(z, t.von, t.bis), 1) << z << " in " << t.name;
        }
        EXPECT_EQ(von(1).count(z) > 0, rot(z)) << z;
    }
    EXPECT_EQ(von(1).size(), 18u);
    EXPECT_EQ(von(2).size(), 18u);

    // 0 is in the first four, the zero split and its single, and nowhere else.
    std::set<int> mitNull;
    for (const auto& [id, zahlen] : mitglieder) {
        if (zahlen.count(0)) {
            mitNull.insert(id);
        }
    }
    ASSERT_EQ(mitNull.size(), 3u);
    EXPECT_EQ(*mitNull.begin(), 24);
    EXPECT_GE(*std::next(mitNull.begin()), 59);
    EXPECT_LE(*std::next(mitNull.begin()), 116);
    EXPECT_EQ(*mitNull.rbegin(), 117);
}

TEST_F(ReferenzdatenTest, SplitsAreNeighboursAndCoverEveryNeighbourPair) {
    std::set<Zahlen> splits;
    int mitNull = 0;
    for (int id = 59; id <= 116; ++id) {
        const Zahlen s = von(id);
        ASSERT_EQ(s.size(), 2u) << "event " << id;
        const int a = *s.begin();
        const int b = *s.rbegin();
        if (a == 0) {
            ++mitNull;
            EXPECT_LE(b, 3) << "0 borders only 1, 2 and 3";
        } else {
            const bool inReihe = reihe(a) == reihe(b) && spalte(b) == spalte(a) + 1;
            const bool inSpalte = spalte(a) == spalte(b) && reihe(b) == reihe(a) + 1;
            EXPECT_TRUE(inReihe || inSpalte) << a << "/" << b << " are not neighbours";
        }
        EXPECT_TRUE(splits.insert(s).second) << "split twice: event " << id;
    }
    EXPECT_EQ(mitNull, 1);
    for (int z = 1; z <= 36; ++z) {
        if (spalte(z) < 2) {
            EXPECT_TRUE(splits.count({z, z + 1})) << z << "/" << z + 1;
        }
        if (z + 3 <= 36) {
            EXPECT_TRUE(splits.count({z, z + 3})) << z << "/" << z + 3;
        }
    }
}

TEST_F(ReferenzdatenTest, LinesCornersAndStreetsAreBlocksOfTheLayout) {
    struct Block {
        const char* name;
        int von;
        int bis;
        int reihen;
        int spalten;
    };
    const Block bloecke[] = {
        {"line", 13, 23, 2, 3},
        {"corner", 25, 46, 2, 2},
        {"street", 47, 58, 1, 3},
    };
    for (const auto& b : bloecke) {
        std::set<Zahlen> gesehen;
        for (int id = b.von; id <= b.bis; ++id) {
            const Zahlen s = von(id);
            SCOPED_TRACE(std::string(b.name) + " event " + std::to_string(id));
            ASSERT_FALSE(s.empty());
            const int ecke = *s.begin();
            ASSERT_GE(ecke, 1);
            ASSERT_LE(spalte(ecke) + b.spalten, 3);
            Zahlen erwartet;
            for (int r = 0; r < b.reihen; ++r) {
                for (int c = 0; c < b.spalten; ++c) {
                    erwartet.insert(ecke + 3 * r + c);
                }
            }
            EXPECT_EQ(s, erwartet);
            EXPECT_TRUE(gesehen.insert(s).second) << "block twice";
        }
    }
}

TEST_F(ReferenzdatenTest, SingleNumberEventsHoldTheirNumber) {
    for (int n = 0; n <= 36; ++n) {
        EXPECT_EQ(von(117 + n), Zahlen{n}) << "event " << 117 + n;
    }
}

// Every reference row fits its table: one value per stored field, required fields filled, each
// value of the field's type and texts within the field's size.
TEST_F(ReferenzdatenTest, EveryValueFitsItsField) {
    std::vector<const ReferenceRows*> alleTabellen;
    for (const auto& r : roulette) {
        alleTabellen.push_back(&r);
        EXPECT_EQ(r.table->file, DatabaseFile::Roulette) << r.table->name;
    }
    for (const auto& r : dm) {
        alleTabellen.push_back(&r);
        EXPECT_EQ(r.table->file, DatabaseFile::DmModul) << r.table->name;
    }
    for (const ReferenceRows* r : alleTabellen) {
        const auto& t = *r->table;
        EXPECT_FALSE(r->rows.empty()) << t.name;
        for (std::size_t i = 0; i < r->rows.size(); ++i) {
            const auto& row = r->rows[i];
            SCOPED_TRACE(std::string(t.name) + " row " + std::to_string(i));
            ASSERT_EQ(row.size(), static_cast<std::size_t>(t.storedFieldCount()));
            std::size_t p = 0;
            for (const auto& f : t.fields) {
                if (!f.stored()) {
                    continue;
                }
                const Value& v = row[p++];
                if (v.isNull()) {
                    EXPECT_FALSE(f.required) << f.name << " is required";
                    continue;
                }
                switch (f.type) {
                    case FieldType::Integer:
                    case FieldType::AutoInc:
                        ASSERT_TRUE(v.isInteger()) << f.name;
                        EXPECT_GE(v.toInt64(), std::numeric_limits<std::int32_t>::min()) << f.name;
                        EXPECT_LE(v.toInt64(), std::numeric_limits<std::int32_t>::max()) << f.name;
                        break;
                    case FieldType::Text:
                        ASSERT_TRUE(v.isText()) << f.name;
                        EXPECT_LE(characters(v.toText()), static_cast<std::size_t>(f.size))
                            << f.name << " \"" << v.toText() << "\"";
                        break;
                    case FieldType::Memo:
                        EXPECT_TRUE(v.isText()) << f.name;
                        break;
                    case FieldType::Date:
                        EXPECT_TRUE(v.isDate()) << f.name;
                        break;
                    case FieldType::Float:
                        EXPECT_TRUE(v.isDouble()) << f.name;
                        break;
                    case FieldType::Calculated:
                        break;
                }
            }
        }
    }
}

// Event names and numbers texts are copied into narrower fields: the calculated event columns
// of the bet and sequence tables and the data-mining display table. They must fit there too,
// and each must tell the events of a language apart.
TEST_F(ReferenzdatenTest, EventTextsFitWhereTheyAreShownAndAreDistinct) {
    std::size_t breite = 1000;
    for (const char* tabelle : {"System_Ereignisse", "Systeme_Abarbeitung", "DM_Folge_Anzeige"}) {
        const TableDef* t = findTable(tabelle);
        ASSERT_NE(t, nullptr) << tabelle;
        for (const char* feld : {"Ereignis", "Ereignis_Info"}) {
            ASSERT_NE(t->field(feld), nullptr) << tabelle << "." << feld;
            breite = std::min(breite, static_cast<std::size_t>(t->field(feld)->size));
        }
    }
    for (const char* feld : {"Ereignis", "Ereignis_Englisch"}) {
        std::set<std::string> namen;
        for (const auto& row : ereignisse.rows) {
            const std::string name = at(ereignisse, row, feld).toText();
            EXPECT_TRUE(namen.insert(name).second) << feld << " twice: " << name;
        }
    }
    for (const auto& row : ereignisse.rows) {
        for (const char* feld :
             {"Ereignis", "Ereignis_Englisch", "Ereignis_Info", "Ereignis_Info_Englisch"}) {
            const std::string text = at(ereignisse, row, feld).toText();
            EXPECT_FALSE(text.empty()) << feld;
            EXPECT_LE(characters(text), breite) << feld << " \"" << text << "\"";
        }
    }
}

TEST_F(ReferenzdatenTest, SystemKindsAreKeyedByTheirNumber) {
    const auto& sa = tableRows(roulette, "System_Art");
    std::set<int> arten;
    for (const auto& row : sa.rows) {
        const int art = at(sa, row, "ID_System_Art").toInt();
        arten.insert(art);
        EXPECT_EQ(at(sa, row, "ID_System_Art_AutoInc"), Value(art));
        EXPECT_FALSE(at(sa, row, "System_Art_Name").toText().empty());
        EXPECT_FALSE(at(sa, row, "System_Art_Name_Englisch").toText().empty());
    }
    EXPECT_EQ(arten, (std::set<int>{1, 2, 3}));
    EXPECT_EQ(sa.rows.size(), 3u);
}

class DmAngriffTest : public ReferenzdatenTest {
  protected:
    DmAngriffTest() : angriff(tableRows(dm, "DM_Angriff")) {
        for (const auto& row : angriff.rows) {
            const Key key{at(angriff, row, "ID_Chance").toInt(),
                          at(angriff, row, "Art_Angriff").toText(),
                          at(angriff, row, "ID_Angriff").toInt()};
            EXPECT_TRUE(zeilen.emplace(key, &row).second)
                << "row twice: " << std::get<0>(key) << std::get<1>(key) << std::get<2>(key);
        }
    }
    using Key = std::tuple<int, std::string, int>;

    std::int64_t get(int q, const char* art, int j, const char* feld) const {
        auto it = zeilen.find({q, art, j});
        if (it == zeilen.end()) {
            ADD_FAILURE() << "no row " << q << art << j;
            return 0;
        }
        return at(angriff, *it->second, feld).toInt64();
    }

    const ReferenceRows& angriff;
    std::map<Key, const std::vector<Value>*> zeilen;
};

TEST_F(DmAngriffTest, OneRowPerClassKindAndLength) {
    EXPECT_EQ(angriff.rows.size(), 7u * 3u * 10u);
    for (const auto& k : kKlassen) {
        for (const char* art : {"E", "K", "P"}) {
            for (int j = 1; j <= 10; ++j) {
                EXPECT_TRUE(zeilen.count({k.chance, art, j})) << k.chance << art << j;
            }
        }
    }
}

// "E": a hit at any step j of the progression wins back every earlier stake plus at least one
// unit, with the smallest stake that does so. An attack of length j that succeeds is credited
// the least a hit at one of its steps wins; one that fails loses all its stakes.
TEST_F(DmAngriffTest, EProgressionRecoversEarlierStakes) {
    for (const auto& k : kKlassen) {
        const int q = k.chance;
        std::int64_t frueher = 0;
        std::int64_t geringster = std::numeric_limits<std::int64_t>::max();
        for (int j = 1; j <= 10; ++j) {
            SCOPED_TRACE("chance " + std::to_string(q) + " step " + std::to_string(j));
            const std::int64_t satz = get(q, "E", j, "Satz");
            ASSERT_GE(satz, 1);
            EXPECT_GE(satz * q - frueher, 1) << "a hit does not recover the earlier stakes";
            EXPECT_LT((satz - 1) * q - frueher, 1) << "a smaller stake would do";
            geringster = std::min(geringster, satz * q - frueher);
            frueher += satz;
            EXPECT_EQ(get(q, "E", j, "Gewinn"), geringster);
            EXPECT_GE(get(q, "E", j, "Gewinn"), 1);
            EXPECT_EQ(get(q, "E", j, "Verlust"), frueher);
        }
    }
    // Even chances double: 1, 2, 4, ... and always win one unit.
    EXPECT_EQ(get(1, "E", 10, "Satz"), 512);
    EXPECT_EQ(get(1, "E", 10, "Gewinn"), 1);
    EXPECT_EQ(get(1, "E", 10, "Verlust"), 1023);
}

TEST_F(DmAngriffTest, KStakesOneUnitPerCoup) {
    for (const auto& k : kKlassen) {
        for (int j = 1; j <= 10; ++j) {
            EXPECT_EQ(get(k.chance, "K", j, "Satz"), 1);
            EXPECT_EQ(get(k.chance, "K", j, "Gewinn"), k.chance);
            EXPECT_EQ(get(k.chance, "K", j, "Verlust"), 1);
        }
    }
}

// "P": the win of j hits in a row equals what the paroli settlement pays over those hits with
// the row's stakes: after each hit the money in hand, (q + 1) times the stake, rides on except
// for what the next stake does not need; the last hit pays all but the first stake.
TEST_F(DmAngriffTest, ParoliLetsTheWinningsRide) {
    for (const auto& k : kKlassen) {
        const int q = k.chance;
        for (int j = 1; j <= 10; ++j) {
            SCOPED_TRACE("chance " + std::to_string(q) + " length " + std::to_string(j));
            std::int64_t summe = 0;
            for (int i = 1; i <= j; ++i) {
                const std::int64_t s = get(q, "P", i, "Satz");
                const std::int64_t inHand = s * (q + 1);
                summe += i < j ? std::max<std::int64_t>(inHand - get(q, "P", i + 1, "Satz"), 0)
                               : inHand - get(q, "P", 1, "Satz");
                if (i > 1) {
                    EXPECT_LE(s, get(q, "P", i - 1, "Satz") * (q + 1))
                        << "stake above the money in hand";
                    EXPECT_GE(s, get(q, "P", i - 1, "Satz"));
                }
            }
            EXPECT_EQ(get(q, "P", j, "Gewinn"), summe);
            EXPECT_EQ(get(q, "P", j, "Verlust"), 1);
        }
        EXPECT_EQ(get(q, "P", 1, "Satz"), 1);
        EXPECT_EQ(get(q, "P", 2, "Satz"), q + 1);
    }
    EXPECT_EQ(get(1, "P", 3, "Satz"), 4);
    EXPECT_EQ(get(1, "P", 3, "Gewinn"), 7);
    EXPECT_EQ(get(1, "P", 10, "Gewinn"), 1023);
}

TEST_F(ReferenzdatenTest, MenuCaptionsCoverTheRelabelledItems) {
    struct Eintrag {
        const char* object;
        const char* deutsch;
    };
    const Eintrag erwartet[] = {
        {"MenuItem_Casinos", "Casinos"},
        {"MenuItem_Permanenzen", "Permanenzen"},
        {"MenuItem_Permanenzen_Aufnahme", "Aufnahme"},
        {"MenuItem_Permanenzen_Eingabe", "Eingabe"},
        {"MenuItem_Permanenzen_Loeschen", "Löschen"},
        {"MenuItem_Permanenzen_Loeschen_Tag", "Tag"},
        {"MenuItem_Permanenzen_Loeschen_Monat", "Monat"},
        {"MenuItem_Ereignisse", "Ereignisse"},
        {"MenuItem_Ereignisse_Ueberblick", "Überblick"},
        {"MenuItem_Ereignisse_Auswertung", "Auswertung"},
        {"MenuItem_Ereignisse_Haeufigkeit", "Häufigkeit"},
        {"MenuItem_Ereignisse_Haeufigkeit_Serien", "Häufigkeit / Serien"},
        {"MenuItem_Ereignisse_Haeufigkeit_Rueckstandigkeit", "Häufigkeit / Rückständigkeit"},
        {"MenuItem_Ereignisse_komplett", "Komplett"},
        {"MenuItem_Systeme", "Systeme"},
        {"MenuItem_Systeme_Information", "Wahl / Information"},
        {"MenuItem_Systeme_Aufnahme", "Aufnahme"},
        {"MenuItem_Systeme_Erstellung", "Erstellung"},
        {"MenuItem_Systeme_Haeufigkeit", "Häufigkeit"},
        {"MenuItem_Systeme_Serien", "Serien"},
        {"MenuItem_Systeme_Rueckstaendigkeit", "Rückständigkeit"},
        {"MenuItem_Systeme_Ereignisfolge", "Ereignisfolge"},
        {"MenuItem_Systeme_Auswertung", "Auswertung"},
        {"MenuItem_Systeme_Auswertungen_Ueberblick", "Auswertung Blick"},
        {"MenuItem_Systeme_Loeschen", "Löschen"},
        {"MenuItem_Individuell", "Individuell"},
        {"MenuItem_Individuell_Satzsignale_1", "Satzsignale (1)"},
        {"MenuItem_Individuell_Satzsignale_2", "Satzsignale (2)"},
        {"MenuItem_Individuell_Ihr_System", "Ihr System ..."},
        {"MenuItem_Online_Spiel", "Online Spiel"},
        {"MenuItem_Hilfe", "Hilfe"},
        {"MenuItem_Sprache", "Sprache"},
        {"MenuItem_Sprache_Deutsch", "Deutsch"},
        {"MenuItem_Sprache_Englisch", "Englisch"},
        {"MenuItem_Ereignis_Aufnehmen", "Aufnehmen"},
        {"MenuItem_Ereignis_Loeschen", "Löschen"},
    };
    const auto& de = tableRows(roulette, "Deutsch_Englisch");
    std::map<std::string, std::string> deutsch;
    for (const auto& row : de.rows) {
        const std::string object = at(de, row, "Object").toText();
        EXPECT_TRUE(deutsch.emplace(object, at(de, row, "Deutsch_Caption").toText()).second)
            << "row twice: " << object;
        EXPECT_FALSE(at(de, row, "Englisch_Caption").toText().empty()) << object;
    }
    std::map<std::string, std::string> soll;
    for (const auto& e : erwartet) {
        soll.emplace(e.object, e.deutsch);
    }
    EXPECT_EQ(deutsch, soll);
    EXPECT_FALSE(deutsch.count("MenuItem_DataMining"));
}

TEST_F(ReferenzdatenTest, SelectionRowStartsWithTheValuesOfASelectionChange) {
    const auto& wahl = tableRows(roulette, "Wahl");
    ASSERT_EQ(wahl.rows.size(), 1u);
    const auto& row = wahl.rows.front();
    auto feld = [&](const char* name) { return at(wahl, row, name); };

    EXPECT_EQ(feld("ID_Casino"), Value(1));
    EXPECT_EQ(feld("Tisch"), Value("T 01"));
    EXPECT_TRUE(feld("Datum").isDate());
    struct Soll {
        const char* feld;
        Value wert;
    };
    const Soll soll[] = {
        {"Auswertung_H_S_R", Value("H")},     {"Auswertung_Coups_Anzahl", Value(100)},
        {"Auswertung_Tage_Anzahl", Value(1)}, {"Auswertung_Tage_uebergreifend", Value("f")},
        {"ID_Chancen_Auswertung", Value(1)},  {"System_Tage_Anzahl", Value(10)},
        {"System_Online_Alle", Value("f")},   {"System_Online_Tage_uebergreifend", Value("f")},
        {"Permanenz_Zahl", Value()},          {"ID_System_Art", Value(1)},
        {"ID_System_Chancen", Value(1)},      {"ID_Instanz", Value(1)},
    };
    for (const auto& s : soll) {
        EXPECT_EQ(feld(s.feld), s.wert) << s.feld;
    }

    // One-character settings are flags, apart from the three that hold a code.
    const std::set<std::string> codes = {"Auswertung_H_S_R", "DM_Sortierung", "DM_Art_Angriff"};
    for (const auto& f : wahl.table->fields) {
        if (f.type == FieldType::Text && f.size == 1 && !codes.count(f.name) &&
            !feld(f.name).isNull()) {
            const std::string v = feld(f.name).toText();
            EXPECT_TRUE(v == "t" || v == "f") << f.name << " = \"" << v << "\"";
        }
    }

    // The data-mining result selection names a row of the payout table.
    const auto& angriff = tableRows(dm, "DM_Angriff");
    const bool gefunden = std::any_of(angriff.rows.begin(), angriff.rows.end(), [&](const auto& r) {
        return at(angriff, r, "ID_Chance") == feld("DM_Chance") &&
               at(angriff, r, "Art_Angriff") == feld("DM_Art_Angriff") &&
               at(angriff, r, "ID_Angriff") == feld("DM_Anzahl_Angriffe");
    });
    EXPECT_TRUE(gefunden);
}

TEST(MakeRowTest, PlacesEachFieldAtItsStoredPosition) {
    for (const auto& t : schemaTables()) {
        int position = 0;
        for (const auto& f : t.fields) {
            if (!f.stored()) {
                continue;
            }
            SCOPED_TRACE(std::string(t.name) + "." + f.name);
            const auto row = makeRow(t, {{f.name, Value(7)}});
            ASSERT_EQ(row.size(), static_cast<std::size_t>(t.storedFieldCount()));
            for (std::size_t i = 0; i < row.size(); ++i) {
                EXPECT_EQ(row[i], i == static_cast<std::size_t>(position) ? Value(7) : Value());
            }
            ++position;
        }
    }
}

TEST(MakeRowTest, RefusesFieldsThatAreNotStored) {
    const TableDef* t = findTable("System_Ereignisse");
    ASSERT_NE(t, nullptr);
    ASSERT_NE(t->field("Ereignis"), nullptr);
    ASSERT_FALSE(t->field("Ereignis")->stored());
    EXPECT_THROW(makeRow(*t, {{"Ereignis", Value("Rot")}}), std::invalid_argument);
    EXPECT_THROW(makeRow(*t, {{"Gibt_Es_Nicht", Value(1)}}), std::invalid_argument);
    EXPECT_THROW(makeRow(*t, {{"ID_System", Value(1)}, {"ID_System", Value(2)}}),
                 std::invalid_argument);
}

}  // namespace
}  // namespace spinalyst::store
