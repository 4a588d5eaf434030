#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTest>
#include <QThread>
#include <atomic>

#include "platform/clock_background_work.h"
#include "platform/thread_background_work.h"
#include "platform/virtual_clock.h"
#include "support/registry.h"

class BackgroundWorkTest : public QObject {
    Q_OBJECT
private slots:
    void workRunsElsewhereAndResultsComeBackInOrder();
    void clockWorkDeliversAfterItsTime();
};

void BackgroundWorkTest::workRunsElsewhereAndResultsComeBackInOrder() {
    QThread* window = QThread::currentThread();
    std::atomic<bool> onWindowThread{false};
    std::atomic<bool> release{false};
    QStringList order;
    {
        ThreadBackgroundWork background;
        for (int i = 0; i < 3; ++i) {
            background.run(
                [&, i] {
                    onWindowThread = onWindowThread || QThread::currentThread() == window;
                    // The first item holds the thread: the window thread goes on meanwhile.
                    while (i == 0 && !release) QThread::msleep(1);
                },
                [&, i] {
                    QCOMPARE(QThread::currentThread(), window);
                    order << QString::number(i);
                });
        }
        // The caller was not held up by the work, and nothing is delivered outside the loop.
        QVERIFY(order.isEmpty());
        release = true;
        QTRY_COMPARE(order.size(), 3);
        // The work given last still runs when the owner goes.
        background.run([&] { order << QStringLiteral("last"); }, {});
    }
    QVERIFY(!onWindowThread);
    QCOMPARE(order, (QStringList{"0", "1", "2", "last"}));
}

void BackgroundWorkTest::clockWorkDeliversAfterItsTime() {
    VirtualClock clock;
    ClockBackgroundWork background(clock, 0.4);
    int worked = 0;
    int delivered = 0;
    background.run([&] { ++worked; }, [&] { ++delivered; });
    QCOMPARE(worked, 1);
    QCOMPARE(delivered, 0);
    clock.advance(0.3);
    QCOMPARE(delivered, 0);
    clock.advance(0.2);
    QCOMPARE(delivered, 1);
    clock.advance(2);
    QCOMPARE(delivered, 1);  // once, its timer gone
    QCOMPARE(clock.pending(), 0);
    background.setWorkSeconds(0);
    background.run({}, [&] { ++delivered; });
    QCOMPARE(delivered, 1);
    clock.processEvents();
    QCOMPARE(delivered, 2);
    QCOMPARE(background.started(), 2);
}

REGISTER_TEST(BackgroundWorkTest);
#include "background_work_test.moc"
