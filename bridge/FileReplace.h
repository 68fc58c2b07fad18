#pragma once
// Replacing a stored file with a copy of another one without ever leaving the
// target half-written or missing: the copy is written beside the target and
// then renamed over it. When anything fails the old target stays as it was.

#include <QString>

namespace FileReplace {

// Makes `target` a byte-for-byte copy of `source`. False (target untouched)
// when the source cannot be read or the copy cannot be written.
bool copyOver(const QString &source, const QString &target);

} // namespace FileReplace
