#include "ui/qt/SystemTrayIcon.h"
#include "RecordingTrayShell.h"

#include <QObject>
#include <QtTest>

using Call = TrayShell::Call;

class SystemTrayIconTest : public QObject {
    Q_OBJECT

    std::shared_ptr<TrayLog> log_;
    std::unique_ptr<SystemTrayIcon> icon_;
    QObject window_;

private slots:
    void init() {
        log_ = std::make_shared<TrayLog>();
        icon_ = std::make_unique<SystemTrayIcon>(std::make_unique<RecordingTrayShell>(log_));
    }

    void returnValuesFollowTheShellAndTheShownState() {
        QVERIFY(!icon_->SetTip("tip")); // not shown: no shell call
        QVERIFY(!icon_->RemoveIcon());
        QVERIFY(log_->calls.empty());

        QVERIFY(icon_->AddIcon(&window_, 1, QIcon(), "Peerwell", 1024));
        QCOMPARE(log_->calls.at(0).data.flags, 7u);
        QVERIFY(!icon_->AddIcon(&window_, 2, QIcon(), "Other", 1025)); // already shown
        QCOMPARE(log_->calls.size(), 1u);

        log_->answer = false;
        QVERIFY(!icon_->SetTip("New tip"));
        QVERIFY(icon_->RemoveIcon()); // still there
        QCOMPARE(log_->calls.back().data.tip, QString("Peerwell"));
        QVERIFY(icon_->Shown());
        log_->answer = true;
        QVERIFY(!icon_->RemoveIcon());
        QVERIFY(!icon_->Shown());
        QCOMPARE(log_->Count(Call::Delete), 2);

        init();
        log_->answer = false;
        QVERIFY(!icon_->AddIcon(&window_, 1, QIcon(), "Peerwell", 1024));
        QVERIFY(!icon_->Shown());
        init();
        log_->registeredMessage = 0; // a zero message that cannot be registered
        QVERIFY(!icon_->AddIcon(&window_, 1, QIcon(), "Peerwell", 0));
        QVERIFY(log_->calls.empty());
    }

    void tipsAreCutToTheirFirst63Characters() {
        QVERIFY(icon_->AddIcon(&window_, 1, QIcon(), QString(70, 'x'), 1024));
        QCOMPARE(log_->calls.back().data.tip, QString(63, 'x'));
        QVERIFY(icon_->SetTip(QString(62, 'y') + "z" + "beyond"));
        QCOMPARE(log_->calls.back().data.tip, QString(62, 'y') + "z");
        QCOMPARE(log_->calls.back().data.flags, 4u);
    }
};

QTEST_MAIN(SystemTrayIconTest)
#include "SystemTrayIconTest.moc"
