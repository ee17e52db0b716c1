#include "kern/katalog.h"

#include <algorithm>

namespace spinalyst::kern {

namespace {

using store::Row;
using store::TableCursor;
using store::Value;

const Value& feld(const TableCursor& c, const Row& r, const char* name) {
    return r.values[static_cast<std::size_t>(c.fieldIndex(name))];
}

const std::vector<int>& keineEreignisse() {
    static const std::vector<int> leer;
    return leer;
}

}  // namespace

Ereigniskatalog::Ereigniskatalog(std::vector<Ereignis> ereignisse)
    : ereignisse_(std::move(ereignisse)), dicht_(kDichteIds, -1) {
    for (std::size_t p = 0; p < ereignisse_.size(); ++p) {
        const Ereignis& e = ereignisse_[p];
        const int pos = static_cast<int>(p);
        if (e.id >= 0 && e.id < kDichteIds) {
            if (dicht_[static_cast<std::size_t>(e.id)] < 0) {
                dicht_[static_cast<std::size_t>(e.id)] = pos;
            }
        } else {
            weit_.emplace(e.id, pos);  // keeps the first of an identifier
        }
        for (int z = 0; z <= kHoechsteZahl; ++z) {
            if (e.enthaelt(z)) {
                mitZahl_[static_cast<std::size_t>(z)].push_back(pos);
            }
        }
    }
}

Ereigniskatalog Ereigniskatalog::laden(store::DataModule_Roulette& dm) {
    TableCursor tabelle("Ereigniskatalog_Ereignisse", dm.TdbDatabase_Roulette, "Ereignisse");
    tabelle.open();
    std::vector<Ereignis> ereignisse;
    std::unordered_map<int, std::vector<std::size_t>> positionen;
    for (int i = 0; const Row* r = tabelle.rowAt(i); ++i) {
        Ereignis e;
        e.rowid = r->rowid;
        e.id = feld(tabelle, *r, "ID_Ereignis").toInt();
        e.gruppe = feld(tabelle, *r, "ID_Gruppe_Ereignis").toInt();
        e.einsatz = feld(tabelle, *r, "Ereignis_Einsatz").toInt();
        e.gewinn = feld(tabelle, *r, "Ereignis_Gewinn").toInt();
        e.name = feld(tabelle, *r, "Ereignis").toText();
        e.nameEnglisch = feld(tabelle, *r, "Ereignis_Englisch").toText();
        e.info = feld(tabelle, *r, "Ereignis_Info").toText();
        e.infoEnglisch = feld(tabelle, *r, "Ereignis_Info_Englisch").toText();
        positionen[e.id].push_back(ereignisse.size());
        ereignisse.push_back(std::move(e));
    }
    tabelle.close();

    TableCursor mitglieder("Ereigniskatalog_Zahlen", dm.TdbDatabase_Roulette, "Ereignis_Zahl");
    mitglieder.open();
    for (int i = 0; const Row* r = mitglieder.rowAt(i); ++i) {
        const int zahl = feld(mitglieder, *r, "Zahl").toInt();
        if (zahl < 0 || zahl > kHoechsteZahl) {
            continue;  // such a pair can never match a number that falls
        }
        auto it = positionen.find(feld(mitglieder, *r, "ID_Ereignis").toInt());
        if (it == positionen.end()) {
            continue;
        }
        // Membership is a property of the identifier: rows sharing it share the members.
        for (std::size_t p : it->second) {
            ereignisse[p].zahlen |= std::uint64_t{1} << zahl;
        }
    }
    mitglieder.close();
    return Ereigniskatalog(std::move(ereignisse));
}

int Ereigniskatalog::position(int id) const {
    if (id >= 0 && id < kDichteIds) {
        return dicht_.empty() ? -1 : dicht_[static_cast<std::size_t>(id)];
    }
    auto it = weit_.find(id);
    return it == weit_.end() ? -1 : it->second;
}

const Ereignis* Ereigniskatalog::finden(int id) const {
    const int p = position(id);
    return p < 0 ? nullptr : &ereignisse_[static_cast<std::size_t>(p)];
}

const std::vector<int>& Ereigniskatalog::ereignisseMit(int zahl) const {
    if (zahl < 0 || zahl > kHoechsteZahl) {
        return keineEreignisse();
    }
    return mitZahl_[static_cast<std::size_t>(zahl)];
}

std::string Ereigniskatalog::name(int id, store::Sprache sprache) const {
    const Ereignis* e = finden(id);
    return e == nullptr ? std::string() : e->nameText(sprache);
}

std::string Ereigniskatalog::info(int id, store::Sprache sprache) const {
    const Ereignis* e = finden(id);
    return e == nullptr ? std::string() : e->infoText(sprache);
}

std::vector<int> Ereigniskatalog::klassen() const {
    std::vector<int> k;
    for (const Ereignis& e : ereignisse_) {
        k.push_back(e.gruppe);
    }
    std::sort(k.begin(), k.end());
    k.erase(std::unique(k.begin(), k.end()), k.end());
    return k;
}

std::vector<const Ereignis*> Ereigniskatalog::klasse(int gruppe) const {
    std::vector<const Ereignis*> k;
    for (const Ereignis& e : ereignisse_) {
        if (e.gruppe == gruppe) {
            k.push_back(&e);
        }
    }
    std::stable_sort(k.begin(), k.end(),
                     [](const Ereignis* a, const Ereignis* b) { return a->id < b->id; });
    return k;
}

}  // namespace spinalyst::kern
