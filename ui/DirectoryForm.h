#pragma once

#include "engine/DirSettings.h"

#include <optional>
#include <string>

// The two check boxes that show Kind.
struct KindBoxes {
    bool Inbound = true;
    bool Outbound = true;
    bool operator==(const KindBoxes&) const = default;
};

enum class KindBox { Inbound, Outbound };

// What the Directory dialog's controls hold.
struct DirectoryFields {
    std::string Path;
    std::string Alias;
    std::string Mask;
    KindBoxes Kind;
    bool operator==(const DirectoryFields&) const = default;
};

// The Directory dialog without its controls. It edits the Path, Alias, Mask and Kind of the
// owner's current record in place; a view only copies texts and check states between its
// controls and the form, and shows a refusal in an "Error" box with the stop icon.
class DirectoryForm {
public:
    // Each edit takes at most this many characters.
    static constexpr int EditLimit = 254;

    explicit DirectoryForm(DirSettings& settings) : settings_(settings) {}

    // What the controls show when the dialog opens.
    DirectoryFields Fields() const;
    // The boxes once a click has toggled one of them: the only checked box can't be cleared,
    // the check moves to the other one.
    static KindBoxes AfterClick(KindBoxes boxes, KindBox clicked);
    // OK: stores the typed fields and returns nothing, or returns why they are refused. A path
    // is tested as typed and stored without its trailing separators; it is stored also when it
    // is refused because it can't be listed, while Alias, Mask and Kind are not.
    std::optional<std::string> Accept(const DirectoryFields& typed);

private:
    DirSettings& settings_;
};
