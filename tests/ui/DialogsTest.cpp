// The Directory dialog and the About box, driven through their real controls.
#include "DialogDriver.h"
#include "tests/support/TempDir.h"
#include "ui/AboutDialog.h"
#include "ui/DirectoryDialog.h"
#include "ui/Prompts.h"

#include <QApplication>
#include <QCheckBox>
#include <QFontDatabase>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <algorithm>

using testsupport::WriteFile;
using namespace dialogdriver;

namespace {

// The owner's current-record fields that the dialog edits in place.
struct Fields {
    std::string Path = "/tmp";
    std::string Alias = "Inbox";
    std::string Mask = "*.txt";
    char Kind = '+';
};

} // namespace

class DialogsTest : public QObject {
    Q_OBJECT

private:
    testsupport::TempDir scratch;
    Fields fields;
    std::unique_ptr<DirectoryDialog> dialog;

    DirectoryDialog& Open() {
        dialog = std::make_unique<DirectoryDialog>(nullptr, fields.Path, fields.Alias, fields.Mask,
                                                   fields.Kind);
        dialog->show();
        return *dialog;
    }

private slots:
    void initTestCase() { WriteFile(scratch / "file.txt", "text"); }
    void init() { fields = Fields(); }
    void cleanup() { dialog.reset(); }

    void kindOpensTheCheckBoxes_data() {
        QTest::addColumn<char>("kind");
        QTest::addColumn<bool>("inbound");
        QTest::addColumn<bool>("outbound");
        QTest::newRow("both") << '*' << true << true;
        QTest::newRow("inbound") << '+' << true << false;
        QTest::newRow("outbound") << '-' << false << true;
        QTest::newRow("any other character opens like outbound") << 'x' << false << true;
    }
    void kindOpensTheCheckBoxes() {
        QFETCH(char, kind);
        QFETCH(bool, inbound);
        QFETCH(bool, outbound);
        fields.Kind = kind;
        DirectoryDialog& d = Open();
        QCOMPARE(Control<QCheckBox>(d, "101")->isChecked(), inbound);
        QCOMPARE(Control<QCheckBox>(d, "102")->isChecked(), outbound);
    }

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

        DirectoryDialog& again = Open();
        Click(again, "102");
        Click(again, "1");
        QCOMPARE(fields.Kind, '*');
    }

    void pathsAreTestedAsTypedAndStoredWithoutTrailingSlashes_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("stored");
        QTest::addColumn<bool>("accepted");
        const QString file = QString::fromStdString(scratch / "file.txt");
        QTest::newRow("root stays the root") << "/"
                                             << "/" << true;
        QTest::newRow("two slashes of the root") << "//"
                                                 << "/" << true;
        QTest::newRow("empty means the current directory") << ""
                                                           << "" << true;
        QTest::newRow("relative") << "."
                                  << "." << true;
        QTest::newRow("missing") << "/no/such/dir//"
                                 << "/no/such/dir" << false;
        QTest::newRow("a file") << file << file << false;
        QTest::newRow("a file with a slash") << file + "/" << file << false;
    }
    void pathsAreTestedAsTypedAndStoredWithoutTrailingSlashes() {
        QFETCH(QString, typed);
        QFETCH(QString, stored);
        QFETCH(bool, accepted);
        DirectoryDialog& d = Open();
        Retype(d, "105", typed);
        Retype(d, "103", "  spaced alias ");
        Retype(d, "104", "");
        Click(d, "102");
        const int shownBefore = Prompts::ShownCount();
        Prompts::SetNextAnswer(QMessageBox::Ok);
        Click(d, "1");
        QCOMPARE(fields.Path, stored.toStdString());
        if (accepted) {
            QCOMPARE(Prompts::ShownCount(), shownBefore);
            QVERIFY(!d.isVisible());
            QCOMPARE(fields.Alias, "  spaced alias ");
            QCOMPARE(fields.Mask, "");
            QCOMPARE(fields.Kind, '*');
            return;
        }
        QCOMPARE(Prompts::ShownCount(), shownBefore + 1);
        QCOMPARE(Prompts::LastShown()->text, "Bad path setting!");
        QCOMPARE(Prompts::LastShown()->caption, "Error");
        QCOMPARE(Prompts::LastShown()->icon, QMessageBox::Critical);
        QCOMPARE(Prompts::LastShown()->buttons, QMessageBox::Ok);
        QVERIFY(d.isVisible());
        QCOMPARE(Edit(d, "105")->text(), typed);
        QCOMPARE(fields.Alias, "Inbox");
        QCOMPARE(fields.Kind, '+');
    }

    void aDoubleQuoteIsRefusedAndNothingIsStored_data() {
        QTest::addColumn<QByteArray>("id");
        QTest::newRow("Path") << QByteArray("105");
        QTest::newRow("Alias") << QByteArray("103");
        QTest::newRow("Mask") << QByteArray("104");
    }
    void aDoubleQuoteIsRefusedAndNothingIsStored() {
        QFETCH(QByteArray, id);
        fields.Path = "/tmp/";
        DirectoryDialog& d = Open();
        Retype(d, "105", "/");
        Retype(d, id.constData(), "say \"hi\"");
        Click(d, "102");
        Prompts::SetNextAnswer(QMessageBox::Ok);
        Click(d, "1");
        QVERIFY(d.isVisible());
        QCOMPARE(Prompts::LastShown()->caption, "Error");
        QCOMPARE(Prompts::LastShown()->icon, QMessageBox::Critical);
        QVERIFY(Prompts::LastShown()->text.contains("double quote"));
        QCOMPARE(fields.Path, "/tmp/");
        QCOMPARE(fields.Alias, "Inbox");
        QCOMPARE(fields.Mask, "*.txt");
        QCOMPARE(fields.Kind, '+');
    }

    void editsTakeAtMost254Characters() {
        fields.Alias = std::string(300, 'a');
        DirectoryDialog& d = Open();
        QCOMPARE(Edit(d, "103")->text().size(), 254);
        for (const char* id : {"105", "103", "104"}) {
            Retype(d, id, QString(300, 'b'));
            QCOMPARE(Edit(d, id)->text().size(), 254);
        }
    }

    void runReportsWhichButtonClosedTheDialog() {
        DirectoryDialog::SetNextScript([](DirectoryDialog& d) {
            Retype(d, "103", "changed");
            QTest::keyClick(&d, Qt::Key_Escape);
        });
        QCOMPARE(Open().Run(), DirectoryDialog::IdCancel);
        QCOMPARE(fields.Alias, "Inbox");
        DirectoryDialog::SetNextScript([](DirectoryDialog&) {}); // left open
        QCOMPARE(Open().Run(), DirectoryDialog::IdCancel);
        DirectoryDialog::SetNextScript(
            [](DirectoryDialog& d) { QTest::keyClick(Edit(d, "103"), Qt::Key_Return); });
        QCOMPARE(Open().Run(), DirectoryDialog::IdOk);
    }

    void tabVisitsTheControlsInTemplateOrder() {
        DirectoryDialog& d = Open();
        d.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&d));
        Control<QWidget>(d, "1")->setFocus();
        for (const char* id : {"2", "105", "103", "104", "101", "102", "1"}) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            QCOMPARE(QApplication::focusWidget()->objectName(), QString(id));
        }
    }

    void dialogUnitsFollowTheDialogFont() {
        const QFont original = QApplication::font();
        for (const int points : {8, 16}) {
            QFont font = QApplication::font();
            font.setPointSize(points);
            QApplication::setFont(font);
            DirectoryDialog& d = Open();
            const QFontMetrics metrics(d.font());
            const auto x = [&](int units) { return (units * metrics.averageCharWidth() + 2) / 4; };
            const auto y = [&](int units) { return (units * metrics.height() + 4) / 8; };
            QCOMPARE(d.size(), QSize(x(194), y(93)));
            QCOMPARE(Edit(d, "105")->geometry(), QRect(x(33), y(7), x(155), y(12)));
            QCOMPARE(Control<QWidget>(d, "2")->geometry(), QRect(x(102), y(72), x(50), y(14)));
            for (const QWidget* text : d.findChildren<QWidget*>())
                if (qobject_cast<const QLabel*>(text) || qobject_cast<const QCheckBox*>(text))
                    QVERIFY(text->width() >= text->sizeHint().width());
        }
        QApplication::setFont(original);
    }

    void aboutShowsIconAndVersionAndClosesWithOkOrEscape() {
        const QFont original = QApplication::font();
        // In a fixed-pitch font the text is wider than its box of the template.
        for (const QFont& font : {original, QFontDatabase::systemFont(QFontDatabase::FixedFont)}) {
            QApplication::setFont(font);
            AboutDialog about(nullptr);
            QCOMPARE(about.windowTitle(), "About Peerwell");
            const auto labels = about.findChildren<QLabel*>();
            QVERIFY(std::any_of(labels.begin(), labels.end(), [](const QLabel* label) {
                return label->text() == "Peerwell version 2.5" &&
                       (label->alignment() & Qt::AlignRight) &&
                       label->width() >= label->sizeHint().width();
            }));
            QVERIFY(std::any_of(labels.begin(), labels.end(),
                                [](const QLabel* label) { return !label->pixmap().isNull(); }));
            about.show();
            QTest::keyClick(&about, Qt::Key_Escape);
            QVERIFY(!about.isVisible());
            about.show();
            QTest::keyClick(&about, Qt::Key_Return); // OK is the default button
            QCOMPARE(about.result(), QDialog::Accepted);
        }
        QApplication::setFont(original);
    }
};

QTEST_MAIN(DialogsTest)
#include "DialogsTest.moc"
