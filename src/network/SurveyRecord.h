#pragma once

#include "bus/FrameCodec.h"
#include "documents/FileResult.h"

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <QStringList>

#include <array>
#include <optional>
#include <utility>
#include <vector>

namespace tqdt::net {

// What a site survey found, as it is handed to the customer and compared at the next visit. The
// JSON form is the record a machine reads (a later visit's "site diff", the simulator's site files);
// the CSV and the printed report are made from the same record.

// One device as it answered. Empty optionals are the JSON's null: a panel has no type byte, a
// station no relay image.
struct SurveyDevice {
    Channel channel = Channel::Blue;
    int address = 0;
    QString kind; // "panel", "station", "sensor", "module", "gateway", "dmx-gateway"
    // The family whose catalogue alone holds the type byte ("g3", "kestrix", "dualtech-wall",
    // "dualtech-ceiling"); none when no catalogue or more than one holds it.
    std::optional<QString> family;
    // When the family is open: each catalogue that holds the byte, with the text it would show.
    std::vector<std::pair<QString, QString>> candidates;
    QString type; // the type text as the family's window shows it ("" when there is none)
    std::optional<int> typeByte;
    std::optional<int> revision;
    std::optional<std::array<bool, 64>> relays; // relay 1 first
    std::optional<QByteArray> config;           // configuration bytes or checksums, as hex text
    QString firmware;
    QDateTime readAt;

    // Channel, then address, then kind: the order of every listing and of the comparison.
    bool operator<(const SurveyDevice& o) const;
};

struct SurveyRecord {
    static constexpr int kFormat = 1;

    QString tool; // "tqdt 1.67.0"
    QDateTime started, finished;
    QString port, site, technician;
    bool complete = false;
    QString reason; // why it is not complete; "" when it is
    // What the report must tell the reader about how the survey was taken (stations polled with mask
    // zero, families a survey cannot identify).
    QStringList notes;
    std::vector<SurveyDevice> devices;

    void sortDevices();
};

// "Blue" / "Brown" as the listings show a channel; "blue" / "brown" in the JSON.
QString ChannelName(Channel c);

// The JSON record (QJsonDocument, indented), the CSV listing (CR LF) and their readers.
QByteArray SurveyJson(const SurveyRecord& r);
// Reads a record; false with why when the text is not a survey of format 1 (another format names
// both versions).
bool ParseSurveyJson(const QByteArray& json, SurveyRecord& r, QString& why);
FileResult ReadSurveyFile(const QString& path, SurveyRecord& r);
QByteArray SurveyCsv(const SurveyRecord& r);

// "Survey incomplete: REASON", the last CSV line and the report's first line of an incomplete survey.
QString IncompleteLine(const SurveyRecord& r);

// What changed from one visit to the next, one line per change, Brown channel first, then by address:
// "Blue 10: added station  3 Scene Rev: 09", "… gone …", "… type OLD -> NEW",
// "… revision OLD -> NEW", "… relays +R,R -R", "… config OLD -> NEW".
QStringList DiffSurveys(const SurveyRecord& before, const SurveyRecord& after);

} // namespace tqdt::net
