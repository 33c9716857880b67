// The Directory dialog, driven through its real controls.
#include "tests/support/TempDir.h"
#include "ui/qt/DirectoryDialog.h"
#include "ui/qt/MessageBox.h"

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

void Click(QWidget& dialog, const char* id) {
    QTest::mouseClick(Control<QAbstractButton>(dialog, id), Qt::LeftButton);
}

} // namespace

class DialogsTest : public QObject {
    Q_OBJECT

private:
    testsupport::TempDir scratch;
    DirSettings fields; // the owner's current-record fields, which the dialog edits in place
    std::unique_ptr<DirectoryDialog> dialog;

    DirectoryDialog& Open() {
        dialog = std::make_unique<DirectoryDialog>(nullptr, fields);
        dialog->show();
        return *dialog;
    }

private slots:
    void initTestCase() { WriteFile(scratch / "file.txt", "text"); }
    void init() { fields = {"/tmp", "Inbox", '+', "*.txt", 0, "", ""}; }
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
        row("the root stays the root", "//", "/", true);
        row("empty means the current directory", "", "", true);
        row("missing", "/no/such/dir//", "/no/such/dir", false);
        row("a file with a slash", file + "/", file, false);
    }
    // A refused path stays in the dialog, which stays open; the fields keep all but the path.
    void pathsAreTestedAsTypedAndStoredWithoutTrailingSlashes() {
        QFETCH(QString, typed);
        QFETCH(QString, stored);
        QFETCH(bool, accepted);
        DirectoryDialog& d = Open();
        Control<QLineEdit>(d, "105")->clear();
        QTest::keyClicks(Control<QLineEdit>(d, "105"), typed);
        Click(d, "102");
        const int shownBefore = MessageBox::ShownCount();
        MessageBox::SetNextAnswer(QMessageBox::Ok);
        Click(d, "1");
        QCOMPARE(fields.Path, stored.toStdString());
        QCOMPARE(MessageBox::ShownCount(), shownBefore + (accepted ? 0 : 1));
        QCOMPARE(d.isVisible(), !accepted);
        QCOMPARE(Control<QLineEdit>(d, "105")->text(), typed);
        QCOMPARE(fields.Kind, accepted ? '*' : '+');
    }
};

QTEST_MAIN(DialogsTest)
#include "DialogsTest.moc"
