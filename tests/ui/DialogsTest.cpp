// The dialogs, driven through their real controls, and the layout of every window.
#include "DialogDriver.h"
#include "UiTestSupport.h"
#include "ui/AboutDialog.h"
#include "ui/DirectoryDialog.h"
#include "ui/Prompts.h"

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QScopeGuard>
#include <QTest>

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

QString Describe(const QWidget& widget) {
    QString text;
    QDebug(&text) << &widget << widget.property("text").toString() << widget.geometry();
    return text;
}

// Every visible control, down the whole tree, lies inside its parent, is wide enough for its
// text and overlaps no sibling, except a black frame, which must hold it inside its line.
void CollectLayoutFaults(const QWidget& parent, QStringList& faults) {
    const auto isBlackFrame = [](const QWidget* w) {
        return w->metaObject() == &QFrame::staticMetaObject;
    };
    QList<QWidget*> children = parent.findChildren<QWidget*>(Qt::FindDirectChildrenOnly);
    children.removeIf(
        [](const QWidget* child) { return !child->isVisible() || child->isWindow(); });
    for (const QWidget* child : children) {
        const QRect box = child->geometry();
        if (!parent.rect().contains(box))
            faults << Describe(*child) + " leaves " + Describe(parent);
        if ((qobject_cast<const QLabel*>(child) || qobject_cast<const QCheckBox*>(child)) &&
            child->sizeHint().width() > box.width())
            faults << Describe(*child) + " cuts its text";
        for (const QWidget* other : children) {
            const QRect inside = other->contentsRect().translated(other->pos());
            if (other != child && box.intersects(other->geometry()) && !isBlackFrame(child) &&
                !(isBlackFrame(other) && inside.contains(box)))
                faults << Describe(*child) + " overlaps " + Describe(*other);
        }
        CollectLayoutFaults(*child, faults);
    }
}

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

    void noControlLeavesItsParentOrFrameOrOverlapsAnother_data() {
        QTest::addColumn<qreal>("fontScale");
        QTest::newRow("the platform's font") << 1.0;
        QTest::newRow("one and a half times as large") << 1.5;
        QTest::newRow("two and a half times as large") << 2.5;
    }
    // Registered once more with QT_SCALE_FACTOR=2.
    void noControlLeavesItsParentOrFrameOrOverlapsAnother() {
        QFETCH(qreal, fontScale);
        const QFont platformFont = QApplication::font();
        const auto restoreFont = qScopeGuard([&] { QApplication::setFont(platformFont); });
        QFont font = platformFont;
        font.setPointSizeF(font.pointSizeF() * fontScale);
        QApplication::setFont(font);
        uitest::Workspace space;
        space.WriteConfig(space.MakeRecords(2));
        uitest::Program program;
        AboutDialog about(program.window);
        about.show();
        const QWidget* windows[] = {program.frame.get(), &about, &Open()};
        for (const QWidget* window : windows) {
            QStringList faults;
            CollectLayoutFaults(*window, faults);
            QVERIFY2(faults.isEmpty(), qPrintable(faults.join('\n')));
        }
    }
};

QTEST_MAIN(DialogsTest)
#include "DialogsTest.moc"
