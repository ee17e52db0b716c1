#include "cli/argumente.h"

#include <algorithm>
#include <limits>
#include <optional>
#include <stdexcept>
#include <string_view>
#include <vector>

#include "capture/auswahl.h"

namespace spinalyst::cli {

namespace {

// Usage lines are wrapped to this many columns.
constexpr std::size_t kBreite = 100;

// The one reading of a whole number on the command line. The conversion is CLI11's; as it takes
// a leading 0 for octal and 0x for hexadecimal, the text is first held to decimal digits with an
// optional minus, and its leading zeros are dropped. nullopt for any other text and for a number
// outside T (CLI11 clamps what exceeds 64 bits, which the round trip finds).
template <class T>
std::optional<T> ganzeZahl(std::string_view text) {
    const bool negativ = text.starts_with('-');
    std::string_view ziffern = negativ ? text.substr(1) : text;
    if (ziffern.empty() ||
        !std::all_of(ziffern.begin(), ziffern.end(), [](char c) { return c >= '0' && c <= '9'; })) {
        return std::nullopt;
    }
    const auto ersteZiffer = ziffern.find_first_not_of('0');
    ziffern = ersteZiffer == std::string_view::npos ? "0" : ziffern.substr(ersteZiffer);
    const std::string dezimal = (negativ && ziffern != "0" ? "-" : "") + std::string(ziffern);
    T wert{};
    if (!CLI::detail::lexical_cast(dezimal, wert) || std::to_string(wert) != dezimal) {
        return std::nullopt;
    }
    return wert;
}

template <class T>
CLI::Option* zahl(CLI::App& befehl, const std::string& name, T& ziel, T von, T bis,
                  const std::string& beschreibung, const std::string& wert) {
    const std::string erwartet =
        bis == std::numeric_limits<T>::max()
            ? "a whole number of " + std::to_string(von) + " or more"
            : "a whole number from " + std::to_string(von) + " to " + std::to_string(bis);
    // The text is handed on in plain decimal, which CLI11 then converts into ziel.
    const CLI::Validator dezimal(
        [name, erwartet, von, bis](std::string& text) {
            const auto z = ganzeZahl<T>(text);
            if (!z || *z < von || *z > bis) {
                throw Argumentfehler(name + " must be " + erwartet + ", not '" + text + "'");
            }
            text = std::to_string(*z);
            return std::string();
        },
        "");
    CLI::Option* option = befehl.add_option(name, ziel, beschreibung)->transform(dezimal);
    return name.starts_with('-') ? option->type_name(wert) : option->required();
}

std::string programmname(const CLI::App& befehl) {
    const CLI::App* oben = befehl.get_parent();
    return oben == nullptr ? befehl.get_name() : programmname(*oben) + " " + befehl.get_name();
}

// The arguments of a subcommand as its usage shows them: the positionals in order, optional ones
// in brackets, then every option but the help flag with its value, in brackets unless required.
std::vector<std::string> aufrufteile(const CLI::App& befehl) {
    if (befehl.get_parent() == nullptr) {
        return {"COMMAND", "[ARGUMENTS]"};
    }
    std::vector<std::string> teile;
    // A positional that takes any number of values comes last, after the options, and may
    // follow "--".
    std::vector<std::string> liste;
    for (const CLI::Option* o : befehl.get_options(
             [](const CLI::Option* o) { return o->get_positional() && !o->get_group().empty(); })) {
        const std::string name = o->get_name(true, false);
        if (o->get_items_expected_max() > 1) {
            liste = {"[--]", "[" + name + " ...]"};
            continue;
        }
        teile.push_back(o->get_required() ? name : "[" + name + "]");
    }
    for (const CLI::Option* o : befehl.get_options([&](const CLI::Option* o) {
             return o->nonpositional() && o != befehl.get_help_ptr() && !o->get_group().empty();
         })) {
        std::string teil = o->get_name(false, false);
        if (!o->get_type_name().empty()) {
            teil += " " + o->get_type_name();
        }
        teile.push_back(o->get_required() ? teil : "[" + teil + "]");
    }
    teile.insert(teile.end(), liste.begin(), liste.end());
    return teile;
}

// anfang and the parts, wrapped so that continued lines start under the first part.
std::string umbrochen(const std::string& anfang, const std::vector<std::string>& teile) {
    const std::string einzug(anfang.size(), ' ');
    std::string text = anfang;
    std::size_t zeile = anfang.size();
    for (const std::string& teil : teile) {
        if (zeile > anfang.size() && zeile + 1 + teil.size() > kBreite) {
            text += "\n" + einzug;
            zeile = einzug.size();
        }
        text += " " + teil;
        zeile += 1 + teil.size();
    }
    return text + "\n";
}

}  // namespace

Argumentfehler::Argumentfehler(const std::string& meldung)
    : CLI::ParseError("Argumentfehler", meldung, CLI::ExitCodes::ValidationError) {}

CLI::Validator pruefung(std::string subjekt, std::string erwartet,
                        std::function<bool(const std::string&)> gilt) {
    return CLI::Validator(
        [subjekt = std::move(subjekt), erwartet = std::move(erwartet),
         gilt = std::move(gilt)](std::string& text) {
            if (!gilt(text)) {
                throw Argumentfehler(subjekt + " must be " + erwartet + ", not '" + text + "'");
            }
            return std::string();
        },
        "");
}

CLI::Option* verzeichnisArgument(CLI::App& befehl, std::string& ziel) {
    return befehl.add_option("DIR", ziel, "the directory of the database files")->required();
}

std::filesystem::path verzeichnis(const std::string& dir) {
    std::error_code ec;
    if (!std::filesystem::is_directory(dir, ec)) {
        throw std::runtime_error(dir + " is not a directory");
    }
    return dir;
}

CLI::Option* zahlArgument(CLI::App& befehl, const std::string& name, int& ziel, int von, int bis,
                          const std::string& beschreibung, const std::string& wert) {
    return zahl(befehl, name, ziel, von, bis, beschreibung, wert);
}

CLI::Option* zahlArgument(CLI::App& befehl, const std::string& name, std::int64_t& ziel,
                          std::int64_t von, std::int64_t bis, const std::string& beschreibung,
                          const std::string& wert) {
    return zahl(befehl, name, ziel, von, bis, beschreibung, wert);
}

CLI::Option* zahlenArgument(CLI::App& befehl, const std::string& name,
                            std::vector<std::int64_t>& ziel, const std::string& beschreibung) {
    const CLI::Validator dezimal(
        [name](std::string& text) {
            const auto z = ganzeZahl<std::int64_t>(text);
            if (!z) {
                throw Argumentfehler(name + " must be a whole number, not '" + text + "'");
            }
            text = std::to_string(*z);
            return std::string();
        },
        "");
    // Every value counts, whatever the program's policy for repeated options.
    return befehl.add_option(name, ziel, beschreibung)
        ->transform(dezimal)
        ->multi_option_policy(CLI::MultiOptionPolicy::TakeAll);
}

CLI::Option* tischArgument(CLI::App& befehl, std::string& ziel) {
    const auto istTisch = [](const std::string& t) {
        const auto nummer = t.size() == 4 && t.starts_with("T ")
                                ? ganzeZahl<int>(std::string_view(t).substr(2))
                                : std::nullopt;
        return nummer && *nummer >= 1 && *nummer <= capture::kTischAnzahl;
    };
    return befehl.add_option("TABLE", ziel, "the gaming table, \"T 01\" to \"T 25\"")
        ->required()
        ->check(pruefung("TABLE", "\"T 01\" to \"T 25\"", istTisch));
}

CLI::Option* tagArgument(CLI::App& befehl, store::Date& ziel, const std::string& beschreibung) {
    return befehl
        .add_option_function<std::string>(
            "YYYY-MM-DD", [&ziel](const std::string& t) { ziel = *store::Date::parseIso(t); },
            beschreibung)
        ->required()
        ->check(pruefung("the day", "given as YYYY-MM-DD", [](const std::string& t) {
            return store::Date::parseIso(t).has_value();
        }));
}

CLI::Option* monatArgument(CLI::App& befehl, store::Date& ziel, const std::string& beschreibung) {
    return befehl
        .add_option_function<std::string>(
            "YYYY-MM", [&ziel](const std::string& t) { ziel = *store::Date::parseIso(t + "-01"); },
            beschreibung)
        ->required()
        ->check(pruefung("the month", "given as YYYY-MM", [](const std::string& t) {
            return t.size() == 7 && store::Date::parseIso(t + "-01").has_value();
        }));
}

std::string gebrauch(const CLI::App& befehl) {
    return umbrochen("usage: " + programmname(befehl), aufrufteile(befehl));
}

Hilfeformat::Hilfeformat() {
    label("Positionals", "Arguments");
    column_width(24);
}

std::string Hilfeformat::make_help(const CLI::App* app, std::string name,
                                   CLI::AppFormatMode mode) const {
    std::string text = make_usage(app, name) + make_description(app) + make_positionals(app) +
                       make_groups(app, mode) + make_subcommands(app, mode);
    const std::string fuss = make_footer(app);
    return fuss.empty() ? text : text + "\n" + fuss;
}

std::string Hilfeformat::make_usage(const CLI::App* app, std::string /*name*/) const {
    return gebrauch(*app);
}

std::string Hilfeformat::make_subcommand(const CLI::App* sub) const {
    return umbrochen("  " + sub->get_name(), aufrufteile(*sub)) + "      " +
           sub->get_description() + "\n";
}

std::string Hilfeformat::make_option_opts(const CLI::Option* option) const {
    if (option->get_positional() || option->get_type_name().empty()) {
        return "";
    }
    return " " + option->get_type_name();
}

}  // namespace spinalyst::cli
