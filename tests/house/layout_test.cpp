// Holds the source tree to its map: the includes go one way (app, then ui, then the core wings
// from the top down), every file stays readable in one sitting and every function on one screen
// or two. A file or include that breaks the map fails here with its name.

#include <QDirIterator>
#include <QFile>
#include <QRegularExpression>
#include <QtTest>

namespace {

// The core wings from the bottom up: a wing includes only itself and the wings before it.
const QStringList kWings = {"files", "codes", "serial", "pronounce", "dictionary", "chip"};
constexpr int kMaxFileLines = 400;
constexpr int kMaxFunctionLines = 80;

QString SourceDir() {
    return QStringLiteral(CANTORA_SOURCE_DIR);
}

QStringList SourceFiles(const QString& folder) {
    QStringList files;
    QDirIterator it(SourceDir() + '/' + folder, {"*.h", "*.cpp"}, QDir::Files,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        files << it.next().mid(SourceDir().size() + 1);
    }
    files.sort();
    return files;
}

QString Read(const QString& relative) {
    QFile file(SourceDir() + '/' + relative);
    if (!file.open(QIODevice::ReadOnly)) {
        return {};
    }
    return QString::fromUtf8(file.readAll());
}

// Where a file stands in the house: app 100, ui windows 50, ui/common 40, a core wing its rank.
int Floor(const QString& path) {
    const QStringList parts = path.split('/');
    if (parts.value(0) == "app") {
        return 100;
    }
    if (parts.value(0) == "ui") {
        return parts.value(1) == "common" ? 40 : 50;
    }
    if (parts.value(0) == "core") {
        return kWings.indexOf(parts.value(1));  // -1: not in a wing
    }
    return -1;
}

// The text with comments, string and character literals blanked out, line breaks kept.
QString CodeOnly(const QString& text) {
    QString out = text;
    const qsizetype n = text.size();
    auto blank = [&](qsizetype from, qsizetype to) {
        for (qsizetype i = from; i < to && i < n; ++i) {
            if (out[i] != '\n') {
                out[i] = ' ';
            }
        }
    };
    qsizetype i = 0;
    while (i < n) {
        if (text.mid(i, 2) == "//") {
            qsizetype end = text.indexOf('\n', i);
            end = end < 0 ? n : end;
            blank(i, end);
            i = end;
        } else if (text.mid(i, 2) == "/*") {
            qsizetype end = text.indexOf("*/", i + 2);
            end = end < 0 ? n : end + 2;
            blank(i, end);
            i = end;
        } else if (text.mid(i, 2) == "R\"") {
            const qsizetype open = text.indexOf('(', i);
            const QString close = ')' + text.mid(i + 2, open - i - 2) + '"';
            qsizetype end = open < 0 ? -1 : text.indexOf(close, open);
            end = end < 0 ? n : end + close.size();
            blank(i, end);
            i = end;
        } else if (text[i] == '"' || (text[i] == '\'' && !(i > 0 && text[i - 1].isDigit()))) {
            const QChar quote = text[i];
            qsizetype j = i + 1;
            while (j < n && text[j] != quote && text[j] != '\n') {
                j += text[j] == '\\' ? 2 : 1;
            }
            blank(i + 1, j);
            i = j + 1;
        } else {
            ++i;
        }
    }
    return out;
}

struct LongFunction {
    int firstLine;
    int lines;
};

// Outermost bodies that follow a parameter list (functions, constructors, top-level lambdas),
// longer than `limit` lines. Blocks of if, for, while, switch and catch are not bodies.
QList<LongFunction> LongFunctions(const QString& text, int limit) {
    static const QRegularExpression bodyStart(
        "\\)\\s*(const|override|noexcept|final|mutable|->\\s*[\\w:<>,\\s*&]+|\\s)*$");
    static const QRegularExpression control("\\b(if|for|while|switch|catch)\\s*\\([^;{}]*\\)\\s*$");
    const QString code = CodeOnly(text);
    QList<LongFunction> found;
    struct Open {
        int line;
        bool body;
    };
    QList<Open> open;
    int line = 1;
    bool inBody = false;
    for (qsizetype i = 0; i < code.size(); ++i) {
        const QChar c = code[i];
        if (c == '\n') {
            ++line;
        } else if (c == '{') {
            bool body = false;
            if (!inBody) {
                const QString before =
                    code.mid(std::max<qsizetype>(0, i - 300), std::min<qsizetype>(i, 300));
                body = bodyStart.match(before).hasMatch() && !control.match(before).hasMatch();
            }
            open.append({line, body});
            inBody = inBody || body;
        } else if (c == '}' && !open.isEmpty()) {
            const Open block = open.takeLast();
            if (block.body) {
                inBody = false;
                if (line - block.line + 1 > limit) {
                    found.append({block.line, line - block.line + 1});
                }
            }
        }
    }
    return found;
}

}  // namespace

class LayoutTest : public QObject {
    Q_OBJECT

  private slots:
    void everyCoreFileIsInAWing() {
        QStringList loose;
        for (const QString& file : SourceFiles("core")) {
            if (Floor(file) < 0) {
                loose << file;
            }
        }
        QVERIFY2(loose.isEmpty(), qPrintable("not in a wing: " + loose.join(", ")));
    }

    void includesGoOneWay() {
        static const QRegularExpression include("^\\s*#\\s*include\\s+\"((core|ui|app)/[^\"]+)\\\"",
                                                QRegularExpression::MultilineOption);
        QStringList upward;
        int checked = 0;
        for (const char* folder : {"app", "ui", "core"}) {
            for (const QString& file : SourceFiles(folder)) {
                const int floor = Floor(file);
                auto it = include.globalMatch(Read(file));
                while (it.hasNext()) {
                    const QString target = it.next().captured(1);
                    ++checked;
                    const int targetFloor = Floor(target);
                    // A window may include another window's header (the one it opens); the
                    // windows share a floor.
                    if (targetFloor < 0 || targetFloor > floor) {
                        upward << file + " includes " + target;
                    }
                }
            }
        }
        QVERIFY2(checked > 100, "too few includes found: is CANTORA_SOURCE_DIR right?");
        QVERIFY2(upward.isEmpty(), qPrintable("includes against the order:\n" + upward.join('\n')));
    }

    void onlyTheSpeakersUseQtMultimedia() {
        static const QRegularExpression multimedia(
            "#\\s*include\\s*<(QtMultimedia/)?(QAudio|QMedia)");
        QStringList users;
        for (const char* folder : {"app", "ui", "core"}) {
            for (const QString& file : SourceFiles(folder)) {
                if (!file.startsWith("core/chip/speakers") &&
                    multimedia.match(Read(file)).hasMatch()) {
                    users << file;
                }
            }
        }
        QVERIFY2(users.isEmpty(),
                 qPrintable("Qt Multimedia outside the speakers: " + users.join(", ")));
    }

    void filesAreShort() {
        QStringList long_;
        for (const char* folder : {"ui", "core"}) {
            for (const QString& file : SourceFiles(folder)) {
                const int lines = Read(file).count('\n');
                if (lines > kMaxFileLines) {
                    long_ << QStringLiteral("%1 (%2 lines)").arg(file).arg(lines);
                }
            }
        }
        QVERIFY2(long_.isEmpty(), qPrintable("over 400 lines: " + long_.join(", ")));
    }

    void functionsAreShort() {
        QStringList long_;
        for (const char* folder : {"app", "ui", "core"}) {
            for (const QString& file : SourceFiles(folder)) {
                for (const LongFunction& f : LongFunctions(Read(file), kMaxFunctionLines)) {
                    long_ << QStringLiteral("%1:%2 (%3 lines)")
                                 .arg(file)
                                 .arg(f.firstLine)
                                 .arg(f.lines);
                }
            }
        }
        QVERIFY2(long_.isEmpty(), qPrintable("functions over 80 lines:\n" + long_.join('\n')));
    }

    // The function finder itself: a long body is found, a long if block inside a short function
    // or a long table is not, and comments or strings holding braces do not confuse it.
    void functionFinderSeesBodiesOnly() {
        const QString filler = QString("    x();\n").repeated(85);
        const QString longFunction = "void F(int a) const {\n" + filler + "}\n";
        const QString table =
            "const int kTable[] = {\n" + QString("    1,\n").repeated(90) + "};\n";
        const QString tricky =
            "void G() {\n    // }\n    auto s = \"}{\";\n    char c = '}';\n" + filler + "}\n";
        QCOMPARE(LongFunctions(longFunction, 80).size(), 1);
        QCOMPARE(LongFunctions(longFunction, 80).first().lines, 87);
        QCOMPARE(LongFunctions(table, 80).size(), 0);
        QCOMPARE(LongFunctions(tricky, 80).size(), 1);
        QCOMPARE(LongFunctions("void H() {\n    if (a) {\n" + filler + "    }\n}\n", 200).size(),
                 0);
        QCOMPARE(LongFunctions("Foo::Foo() : a_(1), b_(2) {\n" + filler + "}\n", 80).size(), 1);
    }
};

QTEST_APPLESS_MAIN(LayoutTest)
#include "layout_test.moc"
