#include "ui/SystemTrayIcon.h"
#include "RecordingTrayShell.h"

#include <QObject>
#include <QPixmap>
#include <QtTest>

using Call = TrayShell::Call;

namespace {

QIcon ColouredIcon(Qt::GlobalColor colour) {
    QPixmap pixmap(16, 16);
    pixmap.fill(colour);
    return QIcon(pixmap);
}

} // namespace

class SystemTrayIconTest : public QObject {
    Q_OBJECT

    std::shared_ptr<TrayLog> log_;
    std::unique_ptr<SystemTrayIcon> icon_;
    QObject window_;

    void AddShownIcon() {
        QVERIFY(icon_->AddIcon(&window_, 1, ColouredIcon(Qt::red), "Peerwell", 1024));
    }

private slots:
    void init() {
        log_ = std::make_shared<TrayLog>();
        icon_ = std::make_unique<SystemTrayIcon>(std::make_unique<RecordingTrayShell>(log_));
    }

    void addIconHandsTheShellTheWholeRecordAndFollowsItsAnswer() {
        QVERIFY(!icon_->Shown());
        AddShownIcon();
        QVERIFY(icon_->Shown());
        QCOMPARE(log_->calls.size(), 1u);
        const TrayIconData& data = log_->calls[0].data;
        QCOMPARE(log_->calls[0].call, Call::Add);
        QCOMPARE(data.window, &window_);
        QCOMPARE(data.id, 1u);
        QCOMPARE(data.flags, 7u);
        QCOMPARE(data.message, 1024u);
        QCOMPARE(data.tip, QString("Peerwell"));
        QVERIFY(!data.icon.isNull());

        init();
        log_->answer = false;
        QVERIFY(!icon_->AddIcon(&window_, 1, QIcon(), "Peerwell", 1024));
        QVERIFY(!icon_->Shown());
    }

    void aSecondAddIconWhileShownMakesNoShellCall() {
        AddShownIcon();
        QVERIFY(!icon_->AddIcon(&window_, 2, ColouredIcon(Qt::blue), "Other", 1025));
        QCOMPARE(log_->calls.size(), 1u);
        QVERIFY(icon_->Shown());
        QCOMPARE(icon_->Data().tip, QString("Peerwell"));
    }

    void aZeroMessageIsReplacedByOneRegisteredUnderTheTip() {
        log_->registeredMessage = 49152;
        QVERIFY(icon_->AddIcon(&window_, 1, QIcon(), "Peerwell", 0));
        QCOMPARE(log_->registrations, 1);
        QCOMPARE(log_->calls.at(0).data.message, 49152u);

        init();
        log_->registeredMessage = 0;
        QVERIFY(!icon_->AddIcon(&window_, 1, QIcon(), "Peerwell", 0));
        QVERIFY(log_->calls.empty());
        QVERIFY(!icon_->Shown());
    }

    void changesAndRemovalOfAnIconNotShownMakeNoShellCall() {
        QVERIFY(!icon_->SetIcon(ColouredIcon(Qt::red)));
        QVERIFY(!icon_->SetTip("tip"));
        QVERIFY(!icon_->RemoveIcon());
        QVERIFY(log_->calls.empty());
    }

    void tipsAreCutToTheirFirst63Characters() {
        const QString seventy(70, 'x');
        QVERIFY(icon_->AddIcon(&window_, 1, QIcon(), seventy, 1024));
        QCOMPARE(icon_->Data().tip, QString(63, 'x'));
        QVERIFY(icon_->SetTip(QString(62, 'y') + "z" + "beyond"));
        QCOMPARE(log_->calls.back().data.tip, QString(62, 'y') + "z");
        QCOMPARE(log_->calls.back().data.flags, 4u);
        QVERIFY(icon_->SetTip(QString()));
        QCOMPARE(icon_->Data().tip, QString(""));
    }

    void aRefusedChangeLeavesTheDataAsTheShellShowsIt() {
        AddShownIcon();
        const QIcon shownIcon = icon_->Data().icon;
        log_->answer = false;
        QVERIFY(!icon_->SetTip("New tip"));
        QVERIFY(!icon_->SetIcon(ColouredIcon(Qt::green)));
        QCOMPARE(icon_->Data().tip, QString("Peerwell"));
        QCOMPARE(icon_->Data().icon.cacheKey(), shownIcon.cacheKey());
        QVERIFY(icon_->Shown());

        log_->answer = true;
        const QIcon green = ColouredIcon(Qt::green);
        QVERIFY(icon_->SetIcon(green));
        QCOMPARE(icon_->Data().icon.cacheKey(), green.cacheKey());
        QCOMPARE(log_->calls.back().data.flags, 2u);
        QCOMPARE(log_->calls.back().call, Call::Modify);
    }

    void removeIconReportsWhetherTheIconIsStillThere() {
        AddShownIcon();
        log_->answer = false;
        QVERIFY(icon_->RemoveIcon());
        QVERIFY(icon_->Shown());
        log_->answer = true;
        QVERIFY(!icon_->RemoveIcon());
        QVERIFY(!icon_->Shown());
        QVERIFY(!icon_->RemoveIcon());
        QCOMPARE(log_->Count(Call::Delete), 2);
    }

    void destructionRemovesAnIconStillShownOnce() {
        AddShownIcon();
        icon_.reset();
        QCOMPARE(log_->Count(Call::Delete), 1);
        QVERIFY(!log_->iconShown);

        init(); // a refused removal is tried again
        AddShownIcon();
        log_->answer = false;
        QVERIFY(icon_->RemoveIcon());
        log_->answer = true;
        icon_.reset();
        QCOMPARE(log_->Count(Call::Delete), 2);
        QVERIFY(!log_->iconShown);
    }
};

QTEST_MAIN(SystemTrayIconTest)
#include "SystemTrayIconTest.moc"
