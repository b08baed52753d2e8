// Creating and placing the controls of TfrmMain. The two programs create
// them in different orders; the places and captions are the same.

#include "shell/window/MainForm.h"

#include "shell/window/Captions.h"

#include <QFileDialog>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

#include <map>
#include <string_view>
#include <vector>

namespace chipshift {

namespace {

QString text(const char* utf8) { return QString::fromUtf8(utf8); }

template <typename W>
W* named(W* widget, const char* name) {
    widget->setObjectName(QString::fromLatin1(name));
    return widget;
}

QPushButton* button(QWidget* parent, const char* name, const char* caption) {
    return named(new QPushButton(text(caption), parent), name);
}

// An edit with its label, as the form designer's labelled edit: the label
// focuses the edit through its access key and follows its enabled state.
QLineEdit* labelledEdit(QWidget* parent, const char* name, const char* caption, QLabel*& label) {
    auto* edit = named(new QLineEdit(parent), name);
    // Drops land on the window, which checks them like the pickers do.
    edit->setAcceptDrops(false);
    label = named(new QLabel(text(caption), parent), (std::string("lbl_") + name).c_str());
    label->setBuddy(edit);
    return edit;
}

QStringList fileFilters() {
    QStringList filters;
    for (const caption::FileChoice& choice : caption::kFileChoices)
        filters << text(choice.text) + QStringLiteral(" (") + QString::fromLatin1(choice.patterns) +
                       QStringLiteral(")");
    return filters;
}

// The control names in the order each program creates them.
const std::vector<std::string_view>& creationOrder(WindowVariant variant) {
    static const std::vector<std::string_view> mapforge{
        "btnStart", "btnClose", "od",       "lblCopy",  "rbFile",      "rbFolder", "gbFile",
        "txtSave",  "btnSave",  "btnLoad",  "txtLoad",  "gbFolder",    "txtFSave", "txtFLoad",
        "btnFLoad", "btnFSave", "btnFolStart", "lblNow", "btnCancel"};
    static const std::vector<std::string_view> actorforge{
        "lblCopy",  "lblNow",   "btnStart", "btnClose", "gbFile",   "txtSave",  "btnSave",
        "btnLoad",  "txtLoad",  "gbFolder", "txtFSave", "txtFLoad", "btnFLoad", "btnFSave",
        "rbFile",   "rbFolder", "btnFolStart", "btnCancel", "od"};
    return variant == WindowVariant::MapForge ? mapforge : actorforge;
}

}  // namespace

void TfrmMain::createControls(WindowVariant variant) {
    // Group boxes come before the controls they hold in both orders.
    const std::map<std::string_view, std::function<void()>> create{
        {"rbFile", [this] { rbFile = named(new QRadioButton(text(caption::kFileMode), this), "rbFile"); }},
        {"rbFolder", [this] { rbFolder = named(new QRadioButton(text(caption::kFolderMode), this), "rbFolder"); }},
        {"gbFile", [this] { gbFile = named(new QGroupBox(this), "gbFile"); }},
        {"gbFolder", [this] { gbFolder = named(new QGroupBox(this), "gbFolder"); }},
        {"txtLoad", [this] { txtLoad = labelledEdit(gbFile, "txtLoad", caption::kSourceFileLabel, lblLoad); }},
        {"txtSave", [this] { txtSave = labelledEdit(gbFile, "txtSave", caption::kTargetFolderLabel, lblSave); }},
        {"txtFLoad", [this] { txtFLoad = labelledEdit(gbFolder, "txtFLoad", caption::kSourceFolderLabel, lblFLoad); }},
        {"txtFSave", [this] { txtFSave = labelledEdit(gbFolder, "txtFSave", caption::kTargetFolderLabel, lblFSave); }},
        {"btnLoad", [this] { btnLoad = button(gbFile, "btnLoad", caption::kPick); }},
        {"btnSave", [this] { btnSave = button(gbFile, "btnSave", caption::kPick); }},
        {"btnFLoad", [this] { btnFLoad = button(gbFolder, "btnFLoad", caption::kPick); }},
        {"btnFSave", [this] { btnFSave = button(gbFolder, "btnFSave", caption::kPick); }},
        {"lblCopy", [this] { lblCopy = named(new QLabel(this), "lblCopy"); }},
        {"lblNow", [this] { lblNow = named(new QLabel(text(caption::kIdle), this), "lblNow"); }},
        {"btnStart", [this] { btnStart = button(this, "btnStart", caption::kStart); }},
        {"btnFolStart", [this] { btnFolStart = button(this, "btnFolStart", caption::kStart); }},
        {"btnCancel", [this] { btnCancel = button(this, "btnCancel", caption::kCancel); }},
        {"btnClose", [this] { btnClose = button(this, "btnClose", caption::kClose); }},
        {"od", [this] {
             od = named(new QFileDialog(this), "od");
             od->setFileMode(QFileDialog::ExistingFile);
             od->setAcceptMode(QFileDialog::AcceptOpen);
             // The choices show their own texts, without Qt's pattern list.
             od->setOption(QFileDialog::HideNameFilterDetails);
             od->setNameFilters(fileFilters());
         }},
    };
    for (std::string_view name : creationOrder(variant)) create.at(name)();
}

void TfrmMain::placeControls() {
    rbFile->setGeometry(16, 8, 153, 17);
    gbFile->setGeometry(8, 8, 617, 73);
    txtLoad->setGeometry(120, 24, 465, 20);
    btnLoad->setGeometry(589, 24, 20, 20);
    txtSave->setGeometry(120, 48, 465, 20);
    btnSave->setGeometry(589, 48, 20, 20);
    rbFolder->setGeometry(16, 88, 169, 17);
    gbFolder->setGeometry(8, 88, 617, 73);
    txtFLoad->setGeometry(120, 24, 465, 20);
    btnFLoad->setGeometry(592, 24, 20, 20);
    txtFSave->setGeometry(120, 48, 465, 20);
    btnFSave->setGeometry(592, 48, 20, 20);
    lblCopy->move(8, 168);
    lblNow->move(8, 200);
    btnStart->setGeometry(464, 168, 81, 41);
    btnFolStart->setGeometry(464, 168, 81, 41);
    btnCancel->setGeometry(464, 168, 81, 41);
    btnClose->setGeometry(552, 168, 75, 41);

    // Each label stands 3 pixels left of its edit, centred on it vertically.
    const auto placeLabel = [](QLabel* label, const QLineEdit* edit, int width) {
        const int height = 12;
        label->setGeometry(edit->x() - 3 - width, edit->y() + (edit->height() - height) / 2, width,
                           height);
    };
    placeLabel(lblLoad, txtLoad, 105);
    placeLabel(lblFLoad, txtFLoad, 107);
    placeLabel(lblSave, txtSave, 108);
    placeLabel(lblFSave, txtFSave, 108);

    // The radio buttons are the group boxes' headings: drawn over their top
    // edges on the window's colour, so the frame line stops at the text.
    for (QRadioButton* heading : {rbFile, rbFolder}) {
        heading->setAutoFillBackground(true);
        heading->raise();
    }
    // Stacked from bottom to top: btnStart, btnFolStart, btnCancel.
    btnFolStart->raise();
    btnCancel->raise();
}

void TfrmMain::arrangeTabOrder(WindowVariant variant) {
    std::vector<QWidget*> chain{btnStart, btnClose};
    const std::vector<QWidget*> radios{rbFile, rbFolder};
    const std::vector<QWidget*> groups{txtSave, btnSave, btnLoad, txtLoad,
                                       txtFSave, txtFLoad, btnFLoad, btnFSave};
    if (variant == WindowVariant::MapForge) {
        chain.insert(chain.end(), radios.begin(), radios.end());
        chain.insert(chain.end(), groups.begin(), groups.end());
    } else {
        chain.insert(chain.end(), groups.begin(), groups.end());
        chain.insert(chain.end(), radios.begin(), radios.end());
    }
    chain.push_back(btnFolStart);
    chain.push_back(btnCancel);
    for (std::size_t i = 1; i < chain.size(); ++i) QWidget::setTabOrder(chain[i - 1], chain[i]);
}

}  // namespace chipshift
