#pragma once

#include <QtGlobal>

namespace platform {

// The program's version as the build stamped it (major.minor.release.build). False, with the
// numbers left as they were, when the build gave none or a malformed one.
bool ReadVersion(quint16& major, quint16& minor, quint16& release, quint16& build);

// The same reading for any version text: four decimal numbers of 0..65535 joined by dots,
// digits only. False, with the numbers left as they were, for anything else.
bool parseVersion(const char* text, quint16& major, quint16& minor, quint16& release, quint16& build);

}  // namespace platform
