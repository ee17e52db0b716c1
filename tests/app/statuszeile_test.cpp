#include "app/core/statuszeile.h"

#include <gtest/gtest.h>

namespace spinalyst::app {
namespace {

struct Fall {
    const char* lang;
    const char* kurz;
};

TEST(Zeit_Kuerzen, schneidetDieLetztenDreiZeichenAbWelchesFormatAuchImmer) {
    const Fall faelle[] = {
        {"14:05:09", "14:05"},
        {"9:05:07", "9:05"},
        {"09:05:07", "09:05"},
        // A 12-hour long format keeps its seconds: the cut is by characters, not by fields.
        {"9:05:07 AM", "9:05:07"},
        {"23.59.59", "23.59"},
        // Characters, not bytes: a multi-byte character counts as one.
        {"下午9:05:07", "下午9:05"},
        {"9:05 Uhr ä", "9:05 Uh"},
        {"abcd", "a"},
        {"abc", ""},
        {"ab", ""},
        {"", ""},
    };
    for (const Fall& f : faelle) {
        EXPECT_EQ(Zeit_Kuerzen(f.lang), f.kurz) << "long time \"" << f.lang << "\"";
    }
}

}  // namespace
}  // namespace spinalyst::app
