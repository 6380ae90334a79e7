#include "condlogic/CustomTransfer.h"
#include "ports/OpenPort.h"

#include "condlogic/ProgramImage.h"
#include "documents/Settings.h"
#include "host/Host.h"

#include <memory>

namespace tqdt::cnd {

namespace {
// A question the user declined ends with its "Cancelled" note; the port stays open.
bool confirmed(Host& host, const QString& question, const QString& title)
{
    if (host.dialogs().message(question, title, MsgIcon::Question, MsgButtons::YesNo) == MsgAnswer::Yes)
        return true;
    host.dialogs().message(title + QStringLiteral(" Cancelled"), title, MsgIcon::None);
    return false;
}

// A declined question leaves the port open; opening it a second time would fail.
bool portReady(Host& host) { return host.comQV().isOpen() || OpenPort(host); }
} // namespace

namespace {
// Opens the port when needed, asks, and downloads the image made only once the user agreed.
std::optional<TransferResult> downloadAfter(Host& host, const QString& question,
                                            const std::function<QByteArray()>& image,
                                            const TransferView& view)
{
    if (!portReady(host) || !confirmed(host, question, QStringLiteral("Download")))
        return std::nullopt;
    return ModuleTransfer(host, view).Download(image());
}
} // namespace

std::optional<TransferResult> CustomDownload(Host& host, const CndDocument& doc, const TransferView& view)
{
    return downloadAfter(
        host,
        QStringLiteral("Cycle device power prior to download by disconnecting CAT5 cables for 3 seconds "
                       "and then reconnecting.\r\nDevice node address must be set to 00\r\nContinue?"),
        [&doc] { return BuildProgramImage(doc); }, view);
}

std::optional<TransferResult> ProfileDownload(Host& host, const ProfileTable& profiles,
                                              const TransferView& view)
{
    return downloadAfter(
        host, QStringLiteral("Power Cycle Device Prior To Download.\r\nDevice Node Must Be 00\r\nContinue?"),
        [&profiles] { return ProfileProgramImage(profiles); }, view);
}

std::optional<TransferResult> CustomUpload(Host& host, CndDocument& doc, const UploadSteps& steps)
{
    if (!portReady(host))
        return std::nullopt;
    if (host.isModified() &&
        host.dialogs().message(QStringLiteral("Discard Changes?"), QStringLiteral("Upload"),
                               MsgIcon::Question, MsgButtons::YesNo, MsgDefault::No) != MsgAnswer::Yes)
        return std::nullopt;
    host.dialogs().message(
        QStringLiteral(
            "When downloading, the compiled control array, configuration data, and notes are all stored in "
            "the device. The device operates based on the compiled control array only. The configuration "
            "data and notes are stored in the device as a reference only. This function uploads the "
            "configuration data and notes only. It does NOT upload the compiled control array. If the last "
            "download had failed, the uploaded configuration data may not match the control array. This "
            "situation may result in the device operating differently than the configuration data would "
            "indicate"),
        QStringLiteral("Upload Notice"), MsgIcon::Information);
    if (!confirmed(
            host,
            QStringLiteral("Power Cycle Device Prior To Upload.\r\nDevice Node Must Be 00\r\nContinue?"),
            QStringLiteral("Upload")))
        return std::nullopt;
    if (steps.starting)
        steps.starting();
    return ModuleTransfer(host, steps.view).Upload(doc, steps.runNew);
}

std::optional<ArrayComparison> CustomCompare(Host& host, const CndDocument& doc, const TransferView& view)
{
    const QString title = QStringLiteral("Compare With Module");
    if (!portReady(host))
        return std::nullopt;
    if (!confirmed(
            host,
            QStringLiteral("Power Cycle Device Prior To Compare.\r\nDevice Node Must Be 00\r\nContinue?"),
            title))
        return std::nullopt;
    QByteArray moduleArray;
    if (!ModuleTransfer(host, view)
             .ReadControlArray(moduleArray,
                               QStringLiteral("Compare Failed.\r\nNo Answer To Block %1 Of 256."),
                               QStringLiteral("Compare Failure"))
             .verified())
        return std::nullopt; // already reported
    // The drawing as it is now, compiled aside: the window's own array and menus stay as they are.
    auto compiled = std::make_unique<ControlArrayT>();
    CompileFast(doc, *compiled);
    const ArrayComparison cmp = CompareControlArrays(moduleArray, *compiled);
    const bool same =
        std::all_of(cmp.begin(), cmp.end(), [](const OutputDifference& d) { return d.equal(); });
    host.dialogs().message(ComparisonText(cmp) + QStringLiteral("\r\nPower Cycle Device."), title,
                           same ? MsgIcon::Information : MsgIcon::Exclamation);
    return cmp;
}

} // namespace tqdt::cnd
