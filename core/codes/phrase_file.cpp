#include "core/codes/phrase_file.h"

#include <QRegularExpression>
#include <QSet>
#include <QStringList>

#include "core/codes/c_export.h"

namespace cantora {

PhraseFile ParsePhraseFile(const QString& contents) {
    PhraseFile file;
    QSet<QString> names;  // upper case
    const QStringList lines = contents.split(QRegularExpression(QStringLiteral("\r\n|\r|\n")));
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const QString line = lines[i].trimmed();
        if (line.isEmpty() || line.startsWith(u'#')) {
            continue;
        }
        const QString where = QStringLiteral("line %1: ").arg(i + 1);
        const qsizetype colon = line.indexOf(u':');
        if (colon < 0) {
            file.error = where + QStringLiteral("no \":\" between a name and its text");
            break;
        }
        NamedPhrase phrase{line.left(colon).trimmed(), line.mid(colon + 1).trimmed()};
        const QString problem = CPhraseNameProblem(phrase.name);
        if (!problem.isEmpty()) {
            file.error = where + problem;
            break;
        }
        const QString key = phrase.name.toUpper();
        if (names.contains(key)) {
            file.error = where + QStringLiteral("the name \"%1\" is used twice").arg(phrase.name);
            break;
        }
        names.insert(key);
        file.phrases.append(phrase);
    }
    if (!file.error.isEmpty()) {
        file.phrases.clear();
    }
    return file;
}

}  // namespace cantora
