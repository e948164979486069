#pragma once

// The section names of a profile file, for offering the sound presets by name.

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace cantora::profile {

// The file's section names in file order, each once in its first spelling (names compared as
// the reader compares them), blank names left out, at most `limit` of them.
QStringList SectionNamesFromBytes(const QByteArray& data, int limit = 10000);
// The same for a file; none when it cannot be read.
QStringList SectionNames(const QString& path, int limit = 10000);

}  // namespace cantora::profile
