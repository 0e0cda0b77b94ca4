#include "cli/JsonStrom.hpp"

namespace zentrix {

namespace {

// The text of a value at nesting depth tiefe: its own lines (after the first) indented by two
// blanks a level, as in the dump of the whole object. A line end inside a string is written "\n",
// so every line end of the dump begins a line of its own.
void Anhaengen(std::string& text, const nlohmann::json& wert, int tiefe) {
    const std::string eigen = wert.dump(2, ' ', false, nlohmann::json::error_handler_t::replace);
    const std::string einzug(static_cast<std::size_t>(2 * tiefe), ' ');
    std::size_t von = 0;
    for (std::size_t ende; (ende = eigen.find('\n', von)) != std::string::npos; von = ende + 1)
        text.append(eigen, von, ende + 1 - von).append(einzug);
    text.append(eigen, von, std::string::npos);
}

// Writes what the text holds once it is large.
void Weiter(std::string& text, std::ostream& out, bool immer = false) {
    if (!immer && text.size() < (1u << 20)) return;
    out.write(text.data(), static_cast<std::streamsize>(text.size()));
    text.clear();
}

}  // namespace

void TJsonStrom::Wert(const std::string& name, nlohmann::json wert) { mitglieder_[name] = {std::move(wert), {}}; }

void TJsonStrom::Feld(const std::string& name, TElemente elemente) { mitglieder_[name] = {std::nullopt, std::move(elemente)}; }

void TJsonStrom::Schreibe(std::ostream& out) const {
    std::string text;
    if (mitglieder_.empty()) {
        out << "{}\n";
        return;
    }
    text += "{\n";
    std::size_t k = 0;
    for (const auto& [name, m] : mitglieder_) {
        text += "  ";
        Anhaengen(text, nlohmann::json(name), 1);
        text += ": ";
        if (m.wert) {
            Anhaengen(text, *m.wert, 1);
        } else {
            bool erstes = true;
            m.elemente([&](const nlohmann::json& element) {
                text += erstes ? "[\n    " : ",\n    ";
                erstes = false;
                Anhaengen(text, element, 2);
                Weiter(text, out);
            });
            text += erstes ? "[]" : "\n  ]";
        }
        text += ++k < mitglieder_.size() ? ",\n" : "\n";
    }
    text += "}\n";
    Weiter(text, out, true);
}

}  // namespace zentrix
