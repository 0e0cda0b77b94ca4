// A JSON object written as it is put together, member by member and element by element, exactly as
// nlohmann::json::dump(2, ' ', false, replace) writes the whole object (members sorted by their
// names, two blanks an indent, invalid UTF-8 replaced), but without ever holding it: the points of a
// million-point file or the lines of a day's report go out one at a time.
#pragma once

#include <functional>
#include <map>
#include <optional>
#include <ostream>
#include <string>
#include <nlohmann/json.hpp>

namespace zentrix {

class TJsonStrom {
public:
    // Hands each element of an array to the function it is given, in order.
    using TElemente = std::function<void(const std::function<void(const nlohmann::json&)>&)>;

    // A member with a value held (small ones).
    void Wert(const std::string& name, nlohmann::json wert);
    // A member that is an array whose elements come one at a time.
    void Feld(const std::string& name, TElemente elemente);
    // Writes the object and a line end.
    void Schreibe(std::ostream& out) const;

private:
    struct TMitglied {
        std::optional<nlohmann::json> wert;
        TElemente elemente;
    };
    std::map<std::string, TMitglied> mitglieder_;
};

}  // namespace zentrix
