#pragma once

#include "condlogic/ModuleCompare.h"
#include "condlogic/ModuleTransfer.h"
#include "condlogic/MpdFile.h"

#include <functional>
#include <optional>

namespace tqdt::cnd {

// The "Download" and "Upload" menus of the module windows, from opening the port to
// the verdict, so that the window only wires them to its widgets.

// Asks before programming; returns the transfer's result, or nothing when the port did not open or
// the user declined.
std::optional<TransferResult> CustomDownload(Host& host, const CndDocument& doc, const TransferView& view);

// The MP device window's "Download": the same question before programming the profile table.
std::optional<TransferResult> ProfileDownload(Host& host, const ProfileTable& profiles,
                                              const TransferView& view);

struct UploadSteps {
    TransferView view;
    std::function<void()> starting; // the questions are answered, the transfer begins
    std::function<void()> runNew;   // after a failed checksum, the window's "New"
};
// Asks about unsaved changes, shows the notice and asks before reading. Returns the result, or
// nothing when the port did not open or the user stopped; the window then redraws only after a
// result.
std::optional<TransferResult> CustomUpload(Host& host, CndDocument& doc, const UploadSteps& steps);

// "Compare With Module": asks before reading, reads the module's control array and shows, output
// by output, whether it equals what the document compiles to now. Returns the comparison, or
// nothing when the port did not open, the user declined or the read failed (each already reported).
std::optional<ArrayComparison> CustomCompare(Host& host, const CndDocument& doc, const TransferView& view);

} // namespace tqdt::cnd
