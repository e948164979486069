// Building the phrase editor: its groups, the palette labels, the voice controls, the Say Data
// box and the dictionary row.

#include <algorithm>

#include <QCheckBox>
#include <QPlainTextEdit>

#include "core/codes/palette_table.h"
#include "ui/common/twips.h"
#include "ui/common/widgets.h"
#include "ui/common/wrap_widgets.h"
#include "ui/phrase/frm_phrase.h"

namespace cantora {

namespace {

using palette::Group;

QLabel* MakeHeading(QWidget* parent, const QString& text, int left, int top, int width,
                    int height) {
    auto* label = new QLabel(text, parent);
    PlaceTwips(label, left, top, width, height);
    return label;
}

// Where the labels of one group go, in twips relative to the group: the first row's top, the
// distance between rows, the first column's left edge, the distance between columns and the
// width of one label.
struct Grid {
    int top;
    int rowPitch;
    int left;
    int columnPitch;
    int width;
};

Grid GridOf(Group group) {
    switch (group) {
        case Group::Pauses:
            return {240, 330, 120, 600, 540};
        case Group::MusicalScale:
            return {240, 295, 120, 630, 600};
        case Group::Vowels:
            return {240, 330, 120, 690, 600};
        case Group::Diphthongs:
            return {240, 275, 120, 780, 690};
        case Group::ResonateNasal:
            return {240, 275, 120, 690, 600};
        case Group::Rs:
            return {240, 275, 120, 810, 720};
        case Group::VoicedStops:
            return {240, 285, 120, 690, 600};
        case Group::VoicelessStops:
            return {240, 330, 120, 720, 630};
        case Group::VoicelessFricatives:
            return {240, 330, 120, 840, 750};
        case Group::VoicedFricatives:
            return {240, 285, 120, 690, 600};
        case Group::MiscSounds:
            return {240, 285, 1320, 540, 480};
        case Group::Commands:
            return {240, 330, 120, 660, 600};
        case Group::Controls:
            return {1140, 0, 5880, 0, 660};
        case Group::Modifiers:
            return {240, 330, 120, 660, 600};
    }
    return {240, 300, 120, 600, 540};
}

// The group that holds the labels of `group`.
QGroupBox* FrameOf(const FrmPhrase& window, Group group) {
    switch (group) {
        case Group::Pauses:
            return window.Frame14;
        case Group::MusicalScale:
            return window.Frame13;
        case Group::Vowels:
            return window.Frame1;
        case Group::Diphthongs:
            return window.Frame4;
        case Group::ResonateNasal:
            return window.Frame3;
        case Group::Rs:
            return window.Frame12;
        case Group::VoicedStops:
            return window.Frame5;
        case Group::VoicelessStops:
            return window.Frame6;
        case Group::VoicelessFricatives:
            return window.Frame7;
        case Group::VoicedFricatives:
            return window.Frame2;
        case Group::MiscSounds:
            return window.Frame8;
        case Group::Commands:
            return window.Frame16;
        case Group::Controls:
            return window.Frame9;
        case Group::Modifiers:
            return window.Frame11;
    }
    return window.Frame9;
}

}  // namespace

void FrmPhrase::buildGroups() {
    Frame14 = MakeGroup(this, "Frame14", "Pauses", 60, 60, 2055, 1665);
    Frame13 = MakeGroup(this, "Frame13", "Musical Scale", 60, 1740, 2055, 4125);
    Frame1 = MakeGroup(this, "Frame1", "Vowels", 2160, 60, 2175, 1665);
    Frame4 = MakeGroup(this, "Frame4", "Diphthongs", 4380, 60, 3225, 1125);
    Frame3 = MakeGroup(this, "Frame3", "Resonate && Nasal", 7650, 60, 2175, 1125);
    Frame12 = MakeGroup(this, "Frame12", "R's", 9870, 60, 1755, 1125);
    Frame5 = MakeGroup(this, "Frame5", "Voiced Stops", 4380, 1200, 2175, 1425);
    Frame6 = MakeGroup(this, "Frame6", "Voiceless Stops", 6600, 1200, 2295, 1425);
    Frame7 = MakeGroup(this, "Frame7", "Voiceless Fricatives", 8940, 1200, 2685, 1425);
    Frame2 = MakeGroup(this, "Frame2", "Voiced Fricatives", 2160, 1740, 2175, 885);
    Frame8 = MakeGroup(this, "Frame8", "Misc Sounds", 2160, 2640, 7935, 1695);
    Frame16 = MakeGroup(this, "Frame16", "Commands", 10140, 2640, 1455, 1695);
    Frame9 = MakeGroup(this, "Frame9", "Controls", 2160, 4350, 7935, 1515);
    Frame11 = MakeGroup(this, "Frame11", "Modifiers", 10140, 4350, 1455, 1515);
    Frame10 = MakeGroup(this, "Frame10", "Say Data", 60, 5880, 11565, 1365 + kSayDataExtra);
    Frame15 = MakeGroup(this, "Frame15", "Dictionary", 60, 7260 + kSayDataExtra, 8865, 615);
}

void FrmPhrase::buildPalette() {
    QFont labelFont = font();
    labelFont.setPointSizeF(labelFont.pointSizeF() * 0.9);
    for (const palette::Element& element : palette::Elements()) {
        auto* label = new ClickLabel(element.caption, FrameOf(*this, element.group));
        label->setObjectName(QStringLiteral("Command1(%1)").arg(element.index));
        label->setToolTip(element.toolTip);
        label->setAlignment(Qt::AlignCenter);
        label->setFrameStyle(QFrame::Panel | QFrame::Raised);
        label->setFont(labelFont);
        label->setAutoFillBackground(true);
        label->setCursor(Qt::PointingHandCursor);
        const Grid grid = GridOf(element.group);
        PlaceTwips(label, grid.left + element.column * grid.columnPitch,
                   grid.top + element.row * grid.rowPitch, grid.width, 255);
        if (element.hidden) {
            label->hide();
        }
        Command1_.insert(element.index, label);
        const int index = element.index;
        connect(label, &ClickLabel::clicked, this, [this, index] { Command1_Click(index); });
        connect(label, &ClickLabel::doubleClicked, this,
                [this, index] { Command1_DblClick(index); });
    }

    // Headings: the octaves over the note columns, the kinds of sound effect before their rows.
    const Grid notes = GridOf(Group::MusicalScale);
    for (int octave = 0; octave < 3; ++octave) {
        QLabel* heading =
            MakeHeading(Frame13, QStringLiteral("Octive%1").arg(octave + 1),
                        notes.left + octave * notes.columnPitch, notes.top, notes.width, 255);
        heading->setAlignment(Qt::AlignCenter);
        heading->setFont(labelFont);
    }
    const Grid effects = GridOf(Group::MiscSounds);
    const char* const rows[] = {"Robot:", "Alarms:", "Beeps:", "Bio Sounds:", "Touch Tone:"};
    for (int row = 0; row < 5; ++row) {
        MakeHeading(Frame8, QString::fromLatin1(rows[row]), 120,
                    effects.top + row * effects.rowPitch, effects.left - 180, 255);
    }

    // Parameter boxes beside their labels.
    const Grid pauses = GridOf(Group::Pauses);
    TxtDelay = MakeBox(Frame14, "TxtDelay", "100", pauses.left + 2 * pauses.columnPitch,
                       pauses.top + 3 * pauses.rowPitch - 15, 570, 285);
    const Grid commands = GridOf(Group::Commands);
    const int boxLeft = commands.left + commands.columnPitch;
    txtCall = MakeBox(Frame16, "txtCall", "0", boxLeft, commands.top - 15, 1335 - boxLeft, 285);
    txtPlay = MakeBox(Frame16, "txtPlay", "0", boxLeft, commands.top + commands.rowPitch - 15,
                      1335 - boxLeft, 285);
    txtPCtrl = MakeBox(Frame16, "txtPCtrl", "7", boxLeft, commands.top + 2 * commands.rowPitch - 15,
                       1335 - boxLeft, 285);
    txtPOut = MakeBox(Frame16, "txtPOut", "7", boxLeft, commands.top + 3 * commands.rowPitch - 15,
                      1335 - boxLeft, 285);
    const Grid modifiers = GridOf(Group::Modifiers);
    txtRepeat = MakeBox(Frame11, "txtRepeat", "5", modifiers.left + modifiers.columnPitch,
                        modifiers.top + 2 * modifiers.rowPitch - 15, 1335 - boxLeft, 285);
}

void FrmPhrase::buildControls() {
    struct VoiceRow {
        const char* label;
        const char* caption;
        const char* tip;
        const char* box;
        const char* bar;
        int code;
        int maximum;
        int pageStep;
    };
    // Bend has only 16 values; a page of 4 still takes four clicks from end to end.
    const VoiceRow rows[] = {
        {"lblVolume", "Volume", "Set the Master Volume Level", "txtVolume", "scVolume", 20, 127, 8},
        {"lblSpeed", "Speed", "Set the Play Speed", "txtSpeed", "scSpeed", 21, 127, 8},
        {"lblPitch", "Pitch", "Set the Vocalization Pitch", "txtPitch", "scPitch", 22, 255, 8},
        {"lblBend", "Bend", "Set the Frequency Bend", "txtBend", "scBend", 23, 15, 4},
    };
    const int tops[] = {240, 540, 840, 1140};
    for (int i = 0; i < 4; ++i) {
        const VoiceRow& row = rows[i];
        VoiceControl control;
        control.label = new ClickLabel(QString::fromLatin1(row.caption), Frame9);
        control.label->setObjectName(QString::fromLatin1(row.label));
        control.label->setToolTip(QString::fromLatin1(row.tip));
        PlaceTwips(control.label, 120, tops[i], 675, 255);
        control.box = MakeBox(Frame9, row.box, "5", 790, tops[i] - 15, 435, 285);
        control.bar =
            MakeScrollBar(Frame9, 0, row.maximum, row.pageStep, QString::fromLatin1(row.bar));
        control.bar->setValue(0);
        PlaceTwips(control.bar, 1320, tops[i], 4155, 255);
        control.code = row.code;
        voice_.append(control);
    }
    lblVolume = voice_[0].label;
    lblSpeed = voice_[1].label;
    lblPitch = voice_[2].label;
    lblBend = voice_[3].label;
    txtVolume = voice_[0].box;
    txtSpeed = voice_[1].box;
    txtPitch = voice_[2].box;
    txtBend = voice_[3].box;
    scVolume = voice_[0].bar;
    scSpeed = voice_[1].bar;
    scPitch = voice_[2].bar;
    scBend = voice_[3].bar;

    chkApplyControlsBeforeSounds =
        new WrapCheckBox("Apply Controls Before Playing Individual Sounds", Frame9);
    chkApplyControlsBeforeSounds->setObjectName("chkApplyControlsBeforeSounds");
    chkApplyControlsBeforeSounds->setChecked(true);
    PlaceTwips(chkApplyControlsBeforeSounds, 5580, 180, 2280, 450);
    chkApplyControlsBeforeSayData =
        new WrapCheckBox("Apply Controls Before Playing 'Say Data'", Frame9);
    chkApplyControlsBeforeSayData->setObjectName("chkApplyControlsBeforeSayData");
    chkApplyControlsBeforeSayData->setChecked(true);
    PlaceTwips(chkApplyControlsBeforeSayData, 5580, 660, 2280, 450);
}

void FrmPhrase::buildSayData() {
    txtSayData = new QPlainTextEdit(Frame10);
    txtSayData->setObjectName("txtSayData");
    txtSayData->setTabChangesFocus(true);
    // One line shorter than the group allows, to leave room for the unknown words under it. Its
    // top starts where the style puts the group's contents, so the box does not paint over the
    // frame's top line; its bottom stays where it was drawn.
    QRect sayData = TwipsRect(120, 210, 8775, 825);
    sayData.setTop(std::max(sayData.top(), Frame10->contentsRect().top()));
    txtSayData->setGeometry(sayData);
    // Keep the selection visible while another control has the focus: Say Selection and View
    // Codes for Selection work on it.
    KeepSelectionVisible(txtSayData);

    lblUnknownWords = new ClickLabel(QString(), Frame10);
    lblUnknownWords->setObjectName("lblUnknownWords");
    lblUnknownWords->setTextFormat(Qt::PlainText);
    lblUnknownWords->setAccessibleName("Words not in the dictionary");
    lblUnknownWords->setFocusPolicy(Qt::TabFocus);
    PlaceTwips(lblUnknownWords, 120, 1050, 8775, 240);

    const QString sendTip = "Send the sound codes in the Say Data window to the Quillon.";
    const QString viewTip = "View the sound codes in the Say Data window.";
    bntSayIt = MakeButton(Frame10, "bntSayIt", "Say It", 8970, 300, 1275, 255, sendTip);
    btnSaySelection =
        MakeButton(Frame10, "btnSaySelection", "Say Selection", 8970, 600, 1275, 255, sendTip);
    btnClear = MakeButton(Frame10, "btnClear", "Clear Say Data", 8970, 900, 1275, 255,
                          "Clear the Say Data window.");
    btnCodes = MakeButton(Frame10, "btnCodes", "View Codes", 10320, 300, 1155, 255, viewTip);
    Command2 = MakeButton<WrapButton>(Frame10, "Command2", "View Codes for Selection", 10320, 600,
                                      1155, 555, viewTip);
    cmdSaveWav =
        MakeButton(Frame10, "cmdSaveWav", QStringLiteral("Save WAV\u2026"), 8970, 1200, 1275, 255,
                   "Save what Say It sends, as this computer would play it, in a WAV file.");

    chkPronounceUnknown = new QCheckBox("Pronounce unknown words", Frame10);
    chkPronounceUnknown->setObjectName("chkPronounceUnknown");
    chkPronounceUnknown->setToolTip(
        "Say the words the dictionary lacks as Suggest would, instead of leaving them out.");
    PlaceTwips(chkPronounceUnknown, 120, 1290, 3600, 210);
}

void FrmPhrase::buildDictionary() {
    const QString loadTip = "Load the dictionary words into the Say Data window.";
    txtDict = MakeBox(Frame15, "txtDict", "", 120, 240, 1995, 285);
    cmdLoadOver =
        MakeButton(Frame15, "cmdLoadOver", "Load Overwrite", 2190, 240, 1260, 285, loadTip);
    cmdLoadInsert =
        MakeButton(Frame15, "cmdLoadInsert", "Load Insert", 3510, 240, 1050, 285, loadTip);
    btnNextWord = MakeButton(Frame15, "btnNextWord", "Load && Say  Next Word", 4620, 240, 2160, 285,
                             "Find and load the next word in the Dictionary");
    cmdSuggest = MakeButton(Frame15, "cmdSuggest", "Suggest", 6840, 240, 1020, 285,
                            "Put a suggested pronunciation of the word into the Say Data window "
                            "and say it.");
    cmdSave = MakeButton(Frame15, "cmdSave", "Save", 8130, 240, 615, 285,
                         "Save the Say Data to the Dictionary.");

    // Search filters of an older word search; always checked and never shown, so the search
    // takes one step and speaks the word it finds.
    chkWith = new QCheckBox("With Data", Frame15);
    chkWith->setObjectName("chkWith");
    chkWith->setChecked(true);
    PlaceTwips(chkWith, 6840, 240, 1200, 285);
    chkWith->hide();
    chkWithout = new QCheckBox("Without Data", Frame15);
    chkWithout->setObjectName("chkWithout");
    chkWithout->setChecked(true);
    PlaceTwips(chkWithout, 6840, 240, 1200, 285);
    chkWithout->hide();
    txtfindwith = MakeBox(Frame15, "txtfindwith", "", 9000, 240, 1200, 285);
    txtfindwith->hide();
}

}  // namespace cantora
