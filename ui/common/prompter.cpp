#include "ui/common/prompter.h"

#include <QClipboard>
#include <QFileDialog>
#include <QGuiApplication>
#include <QGridLayout>
#include <QInputDialog>
#include <QPointer>
#include <QRegularExpression>
#include <QSpacerItem>
#include <QTextDocument>

namespace cantora {

namespace {

Prompter*& Installed() {
    static Prompter* installed = nullptr;
    return installed;
}

// The prompter that shows real dialogs.
Prompter& RealPrompter() {
    static Prompter real;
    return real;
}

// Invisible marks that guide a path's line breaks: a zero-width space allows one, a word joiner
// forbids one.
constexpr QChar kBreakHere(0x200B);
constexpr QChar kNoBreakHere(0x2060);

QString WithoutBreakMarks(QString text) {
    return text.remove(kBreakHere).remove(kNoBreakHere);
}

// A path as shown in a box: a line may break after a "/", but not after the hyphens and other
// marks inside a folder name.
QString BreakablePath(const QString& path) {
    QString shown;
    shown.reserve(path.size() * 2);
    for (qsizetype i = 0; i < path.size(); ++i) {
        const QChar c = path[i];
        shown += c;
        if (i + 1 == path.size()) {
            break;
        }
        if (c == '/') {
            shown += kBreakHere;
        } else if (!c.isLetterOrNumber() && path[i + 1] != '/') {
            shown += kNoBreakHere;
        }
    }
    return shown;
}

// A box at least as wide as its title needs beside the title bar's buttons, so a short text
// does not leave the title elided; and long paths break after a "/", not inside a folder name.
void FitBox(QMessageBox& box, const QString& title, const QString& text) {
    if (auto* grid = qobject_cast<QGridLayout*>(box.layout())) {
        const int width = box.fontMetrics().horizontalAdvance(title) * 3 / 2 + 160;
        grid->addItem(new QSpacerItem(width, 0, QSizePolicy::Minimum, QSizePolicy::Expanding),
                      grid->rowCount(), 0, 1, grid->columnCount());
    }
    if (!Qt::mightBeRichText(text)) {
        // A word with a slash inside is taken for a path.
        static const QRegularExpression kPath(QStringLiteral("[^\\s\"«»]*/[^\\s\"«»]*"));
        QString shown;
        qsizetype done = 0;
        for (const QRegularExpressionMatch& path : kPath.globalMatch(text)) {
            shown += text.mid(done, path.capturedStart() - done) + BreakablePath(path.captured());
            done = path.capturedEnd();
        }
        box.setText(shown + text.mid(done));
        if (box.text() != text) {
            // Where the style lets the text be selected, a copied path must work when pasted.
            QObject::connect(QGuiApplication::clipboard(), &QClipboard::dataChanged, &box, [] {
                QClipboard* clipboard = QGuiApplication::clipboard();
                const QString copied = clipboard->text();
                const QString clean = WithoutBreakMarks(copied);
                if (clean != copied) {
                    clipboard->setText(clean);
                }
            });
        }
    }
}

}  // namespace

Prompter::Prompter(Replace) : previous_(&current()), installed_(true) {
    Installed() = this;
}

Prompter::~Prompter() {
    if (installed_ && Installed() == this) {
        Installed() = previous_;
    }
}

Prompter& Prompter::current() {
    Prompter* installed = Installed();
    return installed != nullptr ? *installed : RealPrompter();
}

QMessageBox::StandardButton Prompter::message(QWidget* parent, const QString& title,
                                              const QString& text,
                                              QMessageBox::StandardButtons buttons,
                                              QMessageBox::StandardButton defaultButton) {
    QMessageBox box(QMessageBox::NoIcon, title, text, buttons, parent);
    FitBox(box, title, text);
    if (defaultButton != QMessageBox::NoButton) {
        box.setDefaultButton(defaultButton);
    }
    return static_cast<QMessageBox::StandardButton>(box.exec());
}

void Prompter::report(QWidget* parent, const QString& title, const QString& text, const QIcon& icon,
                      const QString& details) {
    if (this != &RealPrompter() || (icon.isNull() && details.isEmpty())) {
        message(parent, title, text, QMessageBox::Ok, QMessageBox::NoButton);
        return;
    }
    QMessageBox box(QMessageBox::NoIcon, title, text, QMessageBox::Ok, parent);
    FitBox(box, title, text);
    if (!icon.isNull()) {
        box.setIconPixmap(icon.pixmap(64, 64));
    }
    box.setDetailedText(details);
    box.exec();
}

bool Prompter::inputText(QWidget* parent, const QString& title, const QString& label,
                         QString* text) {
    bool ok = false;
    *text = QInputDialog::getText(parent, title, label, QLineEdit::Normal, {}, &ok);
    return ok;
}

QString Prompter::openFileName(QWidget* parent, const QString& caption, const QString& folder,
                               const QString& filter) {
    return QFileDialog::getOpenFileName(parent, caption, folder, filter);
}

QString Prompter::saveFileName(QWidget* parent, const QString& caption, const QString& suggested,
                               const QString& filter, const QString& defaultSuffix) {
    // On the heap and watched: the parent may go while the dialog runs its own loop, taking
    // the dialog with it.
    QPointer<QFileDialog> dialog = new QFileDialog(parent, caption, QString(), filter);
    dialog->setAcceptMode(QFileDialog::AcceptSave);
    dialog->setFileMode(QFileDialog::AnyFile);
    dialog->setDefaultSuffix(defaultSuffix);
    dialog->selectFile(suggested);
    const int result = dialog->exec();
    if (dialog.isNull()) {
        return {};
    }
    const QStringList files = dialog->selectedFiles();
    delete dialog.data();
    return result == QDialog::Accepted && !files.isEmpty() ? files.first() : QString();
}

QString ProgramTitle() {
    return QStringLiteral("Cantora Utility");
}

void ShowRefusal(QWidget* parent, const QString& text) {
    Prompter::current().message(parent, ProgramTitle(), text, QMessageBox::Ok,
                                QMessageBox::NoButton);
}

QMessageBox::StandardButton AskNotice(QWidget* parent, const QString& text,
                                      QMessageBox::StandardButtons buttons,
                                      QMessageBox::StandardButton defaultButton) {
    return Prompter::current().message(parent, QStringLiteral("Notice"), text, buttons,
                                       defaultButton);
}

void ShowReport(QWidget* parent, const QString& title, const QString& text) {
    Prompter::current().message(parent, title, text, QMessageBox::Ok, QMessageBox::NoButton);
}

void ShowReport(QWidget* parent, const QString& title, const QString& text, const QIcon& icon,
                const QString& details) {
    Prompter::current().report(parent, title, text, icon, details);
}

QString AskText(QWidget* parent, const QString& title, const QString& label) {
    QString text;
    if (!Prompter::current().inputText(parent, title, label, &text)) {
        return QString();
    }
    return text;
}

}  // namespace cantora
