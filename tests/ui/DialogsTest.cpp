// The Directory dialog, driven through its real controls.
#include "tests/support/TempDir.h"
#include "ui/qt/DirectoryDialog.h"
#include "ui/qt/Prompts.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QTest>

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
};

QTEST_MAIN(DialogsTest)
#include "DialogsTest.moc"
