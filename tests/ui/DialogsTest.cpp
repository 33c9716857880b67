// The Directory dialog and the file dialog, driven through their real controls.
#include "tests/support/TempDir.h"
#include "ui/qt/DirectoryDialog.h"
#include "ui/qt/Prompts.h"
#include "ui/qt/QtPrompts.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFileDialog>
#include <QLineEdit>
#include <QListView>
#include <QScopeGuard>
#include <QTest>
#include <QTimer>

using testsupport::WriteFile;

namespace {

// The dialog's controls, found by their identifiers and worked as a user would.
template <class Widget> Widget* Control(QWidget& dialog, const char* id) {
    auto* control = dialog.findChild<Widget*>(id);
    if (control == nullptr)
        qFatal("no control %s", id);
    return control;
}

QLineEdit* Edit(QWidget& dialog, const char* id) {
    return Control<QLineEdit>(dialog, id);
}

void Click(QWidget& dialog, const char* id) {
    QTest::mouseClick(Control<QAbstractButton>(dialog, id), Qt::LeftButton);
}

void Retype(QWidget& dialog, const char* id, const QString& text) {
    Edit(dialog, id)->clear();
    QTest::keyClicks(Edit(dialog, id), text);
}

// The owner's current-record fields that the dialog edits in place.
const DirSettings Fields{"/tmp", "Inbox", '+', "*.txt", 0, "", ""};

// Works the next file dialog as a user would: "all files (*.*)" in the folder must list a name
// without a dot, a file the request refuses must be refused with the dialog left open, then
// the file is chosen.
void ChooseInFileDialog(const std::string& folder, const std::string& refused,
                        const std::string& file) {
    QTimer::singleShot(0, [=] {
        auto* files = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        QVERIFY(files);
        const auto closeAtEnd = qScopeGuard([files] {
            if (files->isVisible())
                files->reject();
        });
        files->setDirectory(QString::fromStdString(folder));
        QTest::keyClick(Control<QComboBox>(*files, "fileTypeCombo"), Qt::Key_Down);
        const auto* view = Control<QListView>(*files, "listView");
        const auto first = [view] { return view->model()->index(0, 0, view->rootIndex()); };
        QTRY_VERIFY(!view->model()->match(first(), Qt::DisplayRole, "NODOT").isEmpty());
        for (const std::string& name : {refused, file}) {
            Prompts::SetNextAnswer(QMessageBox::Ok);
            Edit(*files, "fileNameEdit")->setText(QString::fromStdString(name));
            QTest::keyClick(Edit(*files, "fileNameEdit"), Qt::Key_Return);
            QCOMPARE(files->isVisible(), name == refused);
        }
    });
}

} // namespace

class DialogsTest : public QObject {
    Q_OBJECT

private:
    testsupport::TempDir scratch;
    DirSettings fields;
    std::unique_ptr<DirectoryDialog> dialog;

    DirectoryDialog& Open() {
        dialog = std::make_unique<DirectoryDialog>(nullptr, fields);
        dialog->show();
        return *dialog;
    }

private slots:
    void initTestCase() { WriteFile(scratch / "file.txt", "text"); }
    void init() { fields = Fields; }
    void cleanup() { dialog.reset(); }

    void clearingTheOnlyCheckedBoxChecksTheOther() {
        DirectoryDialog& d = Open();
        auto* inbound = Control<QCheckBox>(d, "101");
        auto* outbound = Control<QCheckBox>(d, "102");
        Click(d, "101");
        QVERIFY(!inbound->isChecked());
        QVERIFY(outbound->isChecked());
        Click(d, "102");
        QVERIFY(inbound->isChecked());
        QVERIFY(!outbound->isChecked());
        Click(d, "1");
        QCOMPARE(fields.Kind, '+');
    }

    void pathsAreTestedAsTypedAndStoredWithoutTrailingSlashes_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("stored");
        QTest::addColumn<bool>("accepted");
        const QString file = QString::fromStdString(scratch / "file.txt");
        const auto row = [](const char* name, const QString& typed, const QString& stored,
                            bool accepted) { QTest::newRow(name) << typed << stored << accepted; };
        row("root stays the root", "/", "/", true);
        row("two slashes of the root", "//", "/", true);
        row("empty means the current directory", "", "", true);
        row("missing", "/no/such/dir//", "/no/such/dir", false);
        row("a file with a slash", file + "/", file, false);
    }
    void pathsAreTestedAsTypedAndStoredWithoutTrailingSlashes() {
        QFETCH(QString, typed);
        QFETCH(QString, stored);
        QFETCH(bool, accepted);
        DirectoryDialog& d = Open();
        Retype(d, "105", typed);
        Click(d, "102");
        const int shownBefore = Prompts::ShownCount();
        Prompts::SetNextAnswer(QMessageBox::Ok);
        Click(d, "1");
        QCOMPARE(fields.Path, stored.toStdString());
        if (accepted) {
            QCOMPARE(Prompts::ShownCount(), shownBefore);
            QVERIFY(!d.isVisible());
            QCOMPARE(fields.Kind, '*');
            return;
        }
        QCOMPARE(Prompts::ShownCount(), shownBefore + 1);
        QCOMPARE(Prompts::LastShown()->text, "Bad path setting!");
        QCOMPARE(Prompts::LastShown()->icon, QMessageBox::Critical);
        QVERIFY(d.isVisible());
        QCOMPARE(Edit(d, "105")->text(), typed);
        QCOMPARE(fields.Alias, "Inbox");
        QCOMPARE(fields.Kind, '+');
    }

    void theFileDialogListsEveryNameForStarDotStarAndStaysOpenOnARefusal() {
        WriteFile(scratch / "NODOT", "x");
        const std::string refused = scratch / "refused.log";
        const FileRequest request{
            .title = "Get LOG - file",
            .filters = {{"log files (*.log)", "*.log"}, {"all files (*.*)", "*.*"}},
            .defaultSuffix = "log",
            .initialFile = {},
            .mustExist = false,
            .refusal = [=](const std::string& path) { return path == refused ? "No." : ""; }};
        QtPrompts prompts(nullptr);
        ChooseInFileDialog(scratch / "", refused, scratch / "chosen.log");
        QCOMPARE(prompts.ChooseFile(request), std::optional<std::string>(scratch / "chosen.log"));
        QCOMPARE(Prompts::LastShown()->text, "No.");
    }
};

QTEST_MAIN(DialogsTest)
#include "DialogsTest.moc"
