#pragma once

#include <QString>

struct Finding;

// The fixes the check can offer because only one outcome is right. Each is an ordinary change:
// the grid ones are undoable steps the user saves, the field length goes through its dialog.
enum class CheckFix {
    None,
    // Rows of one group that share a row number get numbers of their own, in grid order.
    RenumberGroup,
    // The spaces a value starts with are removed.
    RemoveLeadingSpaces,
    // The field is made as long as its longest value.
    WidenField,
};

CheckFix certainFixFor(const Finding &finding);
// What the fix button says, in Swedish; empty for None.
QString fixCaption(CheckFix fix);
