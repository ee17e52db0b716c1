#include "systems/pruefung.h"

#include <gtest/gtest.h>

#include "systems/ereignisfolge.h"
#include "tests/systems/system_fixture.h"

namespace spinalyst::systems {
namespace {

using A = Befund::Art;
using store::Value;

// What one instance holds before the check.
struct Instanz {
    std::vector<int> folge;
    std::vector<int> saetze;
    const char* setzart = "E";
};

struct Fall {
    const char* name;
    int art;
    Instanz eins;
    Instanz zwei;
    std::vector<Befund> befunde;
};

class PruefungTest : public testing::SystemTest, public ::testing::WithParamInterface<Fall> {
  protected:
    PruefungTest() {
        // An event beyond the standard catalogue, bet with three pieces.
        store::TableCursor e("e", dm.TdbDatabase_Roulette, "Ereignisse");
        e.open();
        e.append();
        e.setInteger("ID_Ereignis", 154);
        e.setText("Ereignis", "Drei Zahlen");
        e.setInteger("Ereignis_Einsatz", 3);
        e.setInteger("Ereignis_Gewinn", 11);
        e.post();
        dm.TdbQuery_Ereignisse.close();
        dm.TdbQuery_Ereignisse.open();
    }

    void fuellen(int instanz, const Instanz& i) {
        Instanz_Waehlen(k, instanz);
        for (int e : i.folge) {
            Ereignisfolge_Anfuegen(k, e);
        }
        einsaetze(i.saetze);
        dm.TdbTable_System_Daten.setText("Setzart", i.setzart);
        dm.TdbTable_System_Daten.post();
    }
};

TEST_P(PruefungTest, FindsTheProblemsOfTheSystem) {
    const Fall& f = GetParam();
    neu(f.art, 1);
    fuellen(1, f.eins);
    fuellen(2, f.zwei);
    const Pruefergebnis r = System_Pruefen(k);
    EXPECT_EQ(r.befunde, f.befunde);
    EXPECT_EQ(r.ok(), f.befunde.empty());
    // Instance 3 is left shown, with its default rows.
    EXPECT_EQ(dm.TdbTable_Wahl.integer("ID_Instanz"), 3);
    EXPECT_EQ(dm.TdbTable_Systeme.integer("ID_Instanz"), 3);
    EXPECT_EQ(dm.TdbTable_System_Angriffe.recordCount(), 52);
    for (const auto& b : r.befunde) {
        EXPECT_FALSE(Befund_Text(k, b).empty());
    }
}

INSTANTIATE_TEST_SUITE_P(
    Regeln, PruefungTest,
    ::testing::Values(
        Fall{"ordinary_without_events", 1, {{}, {1}}, {}, {{1, A::KeinAngriffsereignis, 0}}},
        Fall{"data_mining_without_events", 3, {}, {}, {{1, A::KeinAngriffsereignis, 0}}},
        Fall{"rising_stakes", 1, {{2, 1}, {1, 2, 4}}, {}, {}},
        Fall{"equal_stakes", 1, {{1}, {3, 3, 3}}, {}, {}},
        Fall{"falling_stakes", 1, {{1}, {1, 2, 1}}, {}, {{1, A::EinsaetzeFallend, 3}}},
        Fall{"falling_stakes_K", 1, {{1}, {1, 2, 1}, "K"}, {}, {}},
        Fall{"falling_stakes_P", 1, {{1}, {1, 2, 1}, "P"}, {}, {{1, A::EinsaetzeFallend, 3}}},
        // The progression ends at the first step without stake; what follows is not looked at.
        Fall{"stake_after_the_end", 1, {{1}, {2, 4, 0, 1}}, {}, {}},
        Fall{"no_first_stake", 1, {{1}, {}}, {}, {{1, A::ErsterEinsatzFehlt, 1}}},
        Fall{"multiples_of_the_pieces", 1, {{154}, {3, 6, 9}}, {}, {}},
        Fall{"no_multiple", 1, {{154}, {3, 4}}, {}, {{1, A::KeinVielfachesDesEinsatzes, 2}}},
        Fall{"no_multiple_K", 1, {{154}, {6, 3}, "K"}, {}, {}},
        Fall{"unknown_event", 1, {{155}, {1}}, {}, {{1, A::AngriffsereignisUnbekannt, 0}}},
        Fall{
            "second_instance_falling", 1, {{1}, {1}}, {{2}, {4, 2}}, {{2, A::EinsaetzeFallend, 2}}},
        Fall{"second_instance_empty", 1, {{1}, {1}}, {}, {}},
        Fall{"individual_first_stake_only", 2, {{}, {5}}, {}, {}},
        Fall{
            "individual_second_stake", 2, {{}, {5, 3}}, {}, {{1, A::ZweiterEinsatzIndividuell, 2}}},
        Fall{"individual_second_stake_instance_2",
             2,
             {{}, {5}},
             {{}, {0, 1}},
             {{2, A::ZweiterEinsatzIndividuell, 2}}},
        Fall{"individual_without_stake", 2, {}, {}, {{1, A::ErsterEinsatzFehlt, 1}}},
        Fall{"individual_with_event",
             2,
             {{1}, {5}},
             {},
             {{1, A::EreignisImIndividuellenSystem, 0}}}),
    [](const ::testing::TestParamInfo<Fall>& p) { return std::string(p.param.name); });

}  // namespace
}  // namespace spinalyst::systems
