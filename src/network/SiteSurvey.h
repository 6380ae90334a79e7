#pragma once

#include "network/SurveyRecord.h"

#include <QString>

#include <functional>

namespace tqdt {
class CancelToken;
class Host;
} // namespace tqdt

namespace tqdt::net {

// A record of the installation taken without changing anything on it: every request it sends reads.
// The Brown channel first (the panels by the discovery's node probe, then each panel's presence and
// relay image, the DMX gateway's firmware), then the Blue channel (every address's type read and the
// sensors' configuration read, the module's search poll and its checksum at node 00, the status query
// with pilot mask zero only where nothing answered, the mapped gateway's bank checksums).
// Before it starts, both channels must be quiet for a second each.
//
// It yields to the user between requests; a cancel request there, or a port that went away, ends it
// at once with what it had read so far.
class SiteSurvey {
public:
    enum class Outcome {
        Complete,
        OtherMaster, // traffic during the activity check; nothing was sent
        PortGone,    // the port went away; the record holds what came before
        Stopped,     // the user stopped it
    };

    struct Progress {
        QString stage;    // "Panels", "Wall stations", ...
        int address = -1; // the address being read; -1 between stages
        int step = 0;     // of steps in all, for a progress bar
        int steps = 1;
    };

    SiteSurvey(Host& host, CancelToken& cancel);

    std::function<void(const Progress&)> onProgress;
    // Each device once it is read, in the order the survey finds them.
    std::function<void(const SurveyDevice&)> onDevice;

    // Runs on the host's open main port. The record's tool, port, site and technician are left as the
    // caller set them; the times, devices, notes and verdict are filled in.
    Outcome run(SurveyRecord& record);

    // The reasons an incomplete record gives.
    static QString reasonText(Outcome outcome);

private:
    struct Impl;
    Host& m_host;
    CancelToken& m_cancel;
};

// The families a survey can name from a type byte, and the text each would show for it: one entry
// when the byte is its family's alone.
std::vector<std::pair<QString, QString>> SurveyCandidates(int typeByte, int revision);

} // namespace tqdt::net
