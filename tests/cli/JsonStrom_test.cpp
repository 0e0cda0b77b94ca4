// The JSON object written as it is put together gives the very text of the whole object's dump.
#include "cli/JsonStrom.hpp"

#include <gtest/gtest.h>

#include <sstream>

using namespace zentrix;
using nlohmann::json;

TEST(JsonStrom, WritesWhatTheWholeObjectsDumpWrites) {
    const json punkt = {{"Name", "K1"}, {"X", 802192.2541}, {"vR", -1e-05}, {"NV", nullptr}};
    const std::vector<json> leer, zeilen = {"Kugelzentrierung Punkt K1", "Zeile\nmit \"Zeichen\"", "\xFF kaputt"};
    const std::vector<json> punkte = {punkt, punkt, json::array(), json::object(), json::array({1, 2})};
    struct Fall {
        const char* was;
        std::vector<std::pair<std::string, std::vector<json>>> felder;  // arrays given element by element
        json werte;                                                     // the members given whole
    };
    const Fall faelle[] = {
        {"nothing", {}, json::object()},
        {"small members only, sorted", {}, {{"reflektorhoehe", "0.0725"}, {"error", nullptr}, {"ort", {{"zeile", 3}}}}},
        {"empty and filled arrays", {{"report", leer}, {"punkte", punkte}}, {{"ergebnis", 0}}},
        {"strings to escape and to replace", {{"report", zeilen}}, {{"messages", zeilen}}},
    };
    for (const Fall& f : faelle) {
        TJsonStrom strom;
        json ganz = f.werte;
        for (const auto& [name, wert] : f.werte.items()) strom.Wert(name, wert);
        for (const auto& [name, elemente] : f.felder) {
            strom.Feld(name, [&elemente](const auto& element) {
                for (const json& e : elemente) element(e);
            });
            ganz[name] = elemente;
        }
        std::ostringstream out;
        strom.Schreibe(out);
        EXPECT_EQ(out.str(), ganz.dump(2, ' ', false, json::error_handler_t::replace) + "\n") << f.was;
    }
}
