#pragma once

namespace tqdt::sim {

class Site;

// Where the built-in site's newer wall stations and sensors sit on the Blue channel.
constexpr int kSiteG3 = 0x90, kSiteKestrix = 0x92, kSiteCeilingSensor = 0x94, kSiteWallSensor = 0x96;

// The devices of Site::builtIn(), added to a site of the caller's own (a test's, which records what
// it is sent).
void AddBuiltInDevices(Site& site);

} // namespace tqdt::sim
