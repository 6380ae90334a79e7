#pragma once

#include "bus/ProgramChecksum.h"
#include "condlogic/CndDocument.h"

#include <QByteArray>
#include <QtGlobal>

namespace tqdt::cnd {

// The module's program memory: the control array, then the diagrams output by output (codes, then
// inputs), then the notes. The diagrams and notes together form the configuration area, the part an
// upload reads back.
constexpr int kImageSize = 73728;
constexpr int kImageBlocks = kImageSize / 32;
constexpr int kConfigAddress = 0x10000;
constexpr int kSegInputAddress = 0x10800;
constexpr int kNotesAddress = 0x11000;
constexpr int kConfigSize = 0x2000;

// The 4096 diagram bytes in module order: byte o x 256 + c holds output o's cell c, codes first,
// then inputs.
QByteArray ConfigBuffer(const CndDocument& doc);
// The whole 73,728-byte image as a download sends it.
QByteArray BuildProgramImage(const CndDocument& doc);

// What a download compares: the checksum of the whole image.
QByteArray DownloadChecksum(const CndDocument& doc);
// What an upload compares: the configuration area, with the last notes byte counted as zero.
QByteArray UploadChecksum(const CndDocument& doc);

} // namespace tqdt::cnd
