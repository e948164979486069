#include "core/files/profile_sections.h"

#include <QSet>

#include "core/files/profile_lines.h"
#include "core/files/whole_file.h"

namespace cantora::profile {

QStringList SectionNamesFromBytes(const QByteArray& data, int limit) {
    QStringList names;
    QSet<QByteArray> seen;
    ForEachLine(data, [&](const Line& line) {
        const ParsedLine parsed = ParseLine(QByteArrayView(data).sliced(line.start, line.length));
        if (parsed.kind == LineKind::Section && !parsed.name.isEmpty()) {
            const QByteArray folded = Latin1LowerBytes(parsed.name);
            if (!seen.contains(folded)) {
                seen.insert(folded);
                names.append(Latin1Text(parsed.name.toByteArray()));
            }
        }
        return names.size() < limit;
    });
    return names;
}

QStringList SectionNames(const QString& path, int limit) {
    QByteArray data;
    if (!ReadWholeFile(path, &data)) {
        return {};
    }
    return SectionNamesFromBytes(data, limit);
}

}  // namespace cantora::profile
