#include "FormHarness.h"
#include "platform/UdpListener.h"
#include "tallies/ChangeCheck.h"
#include "tallies/TrackedHistory.h"
#include "widgets/ChartControl.h"
#include "widgets/FlexGrid.h"

#include <QAccessible>
#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>

class TestCommands : public QObject {
    Q_OBJECT
private slots:
    void viewsShowTheirControlsAndDisableTheirItem();
    void viewCaptions();
    void droppedCountWaitsForTheMessageView();
    void hiddenChartsKeepFilling();
    void chartsReadByAScreenReader();
    void pickOnCallsignColumnTracksAndRestarts();
    void clickOnOtherColumnsChangesNothing_data();
    void clickOnOtherColumnsChangesNothing();
    void pickOnEmptyRowCopiesEmptyTexts();
    void clickIntoBoxEmptiesItAndRestarts();
    void typedLettersBecomeCapitals();
    void rightClickShowsTheHistoryText();
    void portCommandAcceptsAPortAndCloses_data();
    void portCommandAcceptsAPortAndCloses();
    void portCommandRefusesSilently_data();
    void portCommandRefusesSilently();
    void messageBoxShowsTextAsWritten();
};

void TestCommands::viewsShowTheirControlsAndDisableTheirItem()
{
    FormHarness h;
    const Form1Controls c = h.controls();
    const auto shown = [](const QWidget* w) { return !w->isHidden(); };

    // Through the menu items and the button themselves, as the user reaches them.
    c.mnuShowDB->trigger();
    QVERIFY(shown(c.MSChart2) && shown(c.Command1));
    QVERIFY(!shown(c.MSChart1) && !shown(c.MSFlexGrid1) && !shown(c.MSFlexGrid2) &&
            !shown(c.Text1) && !shown(c.Label2));
    QVERIFY(!c.mnuShowDB->isEnabled() && c.mnuShowDT->isEnabled() && c.mnuShowMessage->isEnabled());

    c.Command1->click();
    QVERIFY(h.steps().history().colorFlag());

    c.mnuShowDT->trigger();
    QVERIFY(shown(c.MSChart1));
    QVERIFY(!shown(c.MSChart2) && !shown(c.Command1) && !shown(c.MSFlexGrid1) && !shown(c.Text1));
    QVERIFY(c.mnuShowDB->isEnabled() && !c.mnuShowDT->isEnabled() && c.mnuShowMessage->isEnabled());

    c.mnuShowMessage->trigger();
    QVERIFY(shown(c.MSFlexGrid1) && shown(c.MSFlexGrid2) && shown(c.Text1) && shown(c.Label2));
    QVERIFY(!shown(c.MSChart1) && !shown(c.MSChart2) && !shown(c.Command1));
    QVERIFY(c.mnuShowDB->isEnabled() && c.mnuShowDT->isEnabled() && !c.mnuShowMessage->isEnabled());

    for (QWidget* always : std::initializer_list<QWidget*>{c.Label3, c.Label1})
        QVERIFY(shown(always));
    QVERIFY(c.mnuUDPport->isEnabled());
    c.mnuUDPport->trigger();
    QCOMPARE(h.dialogs.prompts, QStringList{"TYpe UDP port number [2238]"});
}

void TestCommands::viewCaptions()
{
    FormHarness h;
    Form1& f = *h.form;
    const Form1Controls c = h.controls();
    c.Text1->setText(QString());
    f.mnuShowDB_Click();
    QCOMPARE(c.Label1->text(), QString("dB changes for  from "));
    f.mnuShowDT_Click();
    QCOMPARE(c.Label1->text(), QString("DT....Total unique callsign:  0"));
    f.mnuShowMessage_Click();
    QCOMPARE(c.Label1->text(),
             QStringLiteral("Looking for UDP message at port %1.....").arg(h.port));

    h.decode("CQ K1ABC FN42", -5, 0.1, 45'015'000);
    c.MSFlexGrid1->setRow(0);
    c.MSFlexGrid1->setCol(4);
    f.MSFlexGrid1_Click();
    f.mnuShowDB_Click();
    QCOMPARE(c.Label1->text(), QString("dB changes for K1ABC from 12:30:15"));
    f.mnuShowMessage_Click();
    f.Text1_Click();
    f.mnuShowDB_Click();
    QCOMPARE(c.Label1->text(), QString("dB changes for  from 12:30:15"));
    // Typed markup is shown, and read out, as typed.
    f.mnuShowMessage_Click();
    c.Text1->setText(QStringLiteral("<b>K9</b>"));
    f.mnuShowDB_Click();
    QCOMPARE(QAccessible::queryAccessibleInterface(c.Label1)->text(QAccessible::Name),
             QString("dB changes for <b>K9</b> from 12:30:15"));
}

void TestCommands::droppedCountWaitsForTheMessageView()
{
    FormHarness h;
    Form1& f = *h.form;
    const Form1Controls c = h.controls();
    f.mnuShowDT_Click();
    emit c.UDPSocket->datagramsDropped(7);
    QCOMPARE(c.Label1->text(), QString("DT....Total unique callsign:  0"));
    f.mnuShowDB_Click();
    const QString dbCaption = c.Label1->text();
    emit c.UDPSocket->datagramsDropped(9);
    QCOMPARE(c.Label1->text(), dbCaption);
    f.mnuShowMessage_Click();
    const QString port = QStringLiteral("Looking for UDP message at port %1.....").arg(h.port);
    QCOMPARE(c.Label1->text(), port + " 9 datagrams dropped: too many at once");
    emit c.UDPSocket->datagramsDropped(12);
    QCOMPARE(c.Label1->text(), port + " 12 datagrams dropped: too many at once");
}

void TestCommands::hiddenChartsKeepFilling()
{
    FormHarness h;
    Form1& f = *h.form;
    const Form1Controls c = h.controls();
    c.Text1->setText(QStringLiteral("K1ABC"));
    f.mnuShowDB_Click();
    h.decode("CQ K1ABC FN42", -4);
    f.mnuShowDT_Click();
    h.decode("CQ K1ABC FN42", -8);
    f.mnuShowDB_Click();
    QCOMPARE(c.MSChart2->value(1, 1), -4.0);
    QCOMPARE(c.MSChart2->value(2, 1), -8.0);
    QCOMPARE(c.MSFlexGrid1->textMatrix(1, 2), QString("-8"));
}

void TestCommands::chartsReadByAScreenReader()
{
    FormHarness h;
    Form1& f = *h.form;
    const Form1Controls c = h.controls();
    QAccessibleInterface* dt = QAccessible::queryAccessibleInterface(c.MSChart1);
    QAccessibleInterface* db = QAccessible::queryAccessibleInterface(c.MSChart2);
    QCOMPARE(dt->text(QAccessible::Name), QString("DT histogram"));
    QCOMPARE(db->text(QAccessible::Name), QString("SNR chart"));
    QCOMPARE(db->text(QAccessible::Description), QString("C1: none; C2: none"));

    c.Text1->setText(QStringLiteral("K1ABC"));
    h.decode("CQ K1ABC FN42", -12, 0.0);
    h.decode("CQ W9XYZ EM73", -3, 0.3);
    h.decode("CQ VE3XYZ FN03", -3, -0.8);
    h.decode("W9XYZ K1ABC FN42", -11, 0.4);
    h.decode("W9XYZ K1ABC R-03", -13, 0.4);
    // Each chart is read as it is shown: its data, then the verdict below it.
    const auto shown = [&h](const char* chart) {
        return h.find<QLabel>(QByteArray(QByteArray(chart) + "Verdict").constData())->text();
    };
    QTRY_COMPARE(shown("MSChart1"), QString("Clock: too few stations yet (3 of 6)"));
    QTRY_COMPARE(dt->text(QAccessible::Description),
                 QString("<-0.6: 1, -0.5: 0, -0.4: 0, -0.3: 0, -0.2: 0, -0.1: 0, 0: 1, 0.1: 0, "
                         "0.2: 0, 0.3: 1, 0.4: 0, 0.5: 0, >0.6: 0\n") +
                     shown("MSChart1"));
    QTRY_COMPARE(db->text(QAccessible::Description),
                 "C1: 1: -12, 2: -11, 3: -13; C2: none\n" + shown("MSChart2"));
    QVERIFY(shown("MSChart2").startsWith("Change: press Change color when you switch"));
    QVERIFY(shown("MSChart2").endsWith("\nTransmit power changes do not show here."));

    f.Command1_Click();
    h.decode("W9XYZ K1ABC RR73", -9);
    QTRY_VERIFY(shown("MSChart2").startsWith("B vs A: not conclusive yet: 1 of 1 stronger on B"));
    QTRY_COMPARE(db->text(QAccessible::Description),
                 "C1: 1: -12, 2: -11, 3: -13; C2: 4: -9\n" + shown("MSChart2"));

    // Past the page of 70 points the chart starts again in the first series.
    for (int n = 5; n <= 70; ++n)
        h.decode("CQ K1ABC FN42", -20);
    h.decode("CQ K1ABC FN42", -7);
    QTRY_COMPARE(db->text(QAccessible::Description), "C1: 1: -7; C2: none\n" + shown("MSChart2"));
    // The page's colour starts again; the block the user switched to stays B.
    QVERIFY(!h.steps().history().colorFlag());
    QCOMPARE(h.steps().change().side(), 1);

    c.MSFlexGrid1->setRow(1);
    c.MSFlexGrid1->setCol(4);
    f.MSFlexGrid1_Click();
    QCOMPARE(c.Text1->text(), QString("W9XYZ"));
    QTRY_COMPARE(db->text(QAccessible::Description), "C1: none; C2: none\n" + shown("MSChart2"));
}

void TestCommands::pickOnCallsignColumnTracksAndRestarts()
{
    FormHarness h;
    Form1& f = *h.form;
    const Form1Controls c = h.controls();
    c.Text1->setText(QStringLiteral("W9XYZ"));
    h.decode("CQ W9XYZ EM73", -3, 0.0, 1000);
    f.Command1_Click();
    h.decode("CQ W9XYZ EM73", -4, 0.0, 2000);
    h.decode("CQ K1ABC FN42", -6, 0.1, 45'015'000);
    QVERIFY(!h.steps().history().trackedHistoryText().isEmpty());

    for (int pick = 0; pick < 2; ++pick) {
        c.MSFlexGrid1->setRow(2);
        c.MSFlexGrid1->setCol(4);
        h.form->MSFlexGrid1_Click();
        QCOMPARE(c.Text1->text(), QString("K1ABC"));
        QCOMPARE(h.pickedTime(), QString("12:30:15"));
        QCOMPARE(h.steps().history().trackedHistoryText(), QString());
        QCOMPARE(c.MSFlexGrid2->textMatrix(0, 0), QString());
        QCOMPARE(c.MSFlexGrid2->rows(), 50);
        QCOMPARE(c.MSChart2->value(1, 1), 0.0);
        QCOMPARE(c.MSChart2->value(2, 2), 0.0);
        QCOMPARE(h.steps().history().colorFlag(), false);
        QCOMPARE(c.MSFlexGrid2->col(), 0);
        QCOMPARE(c.MSFlexGrid2->topRow(), 0);
        h.decode("CQ K1ABC FN42", -9);
        QCOMPARE(c.MSFlexGrid2->textMatrix(0, 1), QString("-9"));
        QCOMPARE(c.MSChart2->value(1, 1), -9.0);
    }
}

void TestCommands::clickOnOtherColumnsChangesNothing_data()
{
    QTest::addColumn<int>("column");
    for (const int column : {0, 1, 2, 3, 5})
        QTest::newRow(qPrintable(QString::number(column))) << column;
}

void TestCommands::clickOnOtherColumnsChangesNothing()
{
    QFETCH(int, column);
    FormHarness h;
    Form1& f = *h.form;
    const Form1Controls c = h.controls();
    c.Text1->setText(QStringLiteral("K1ABC"));
    h.decode("CQ K1ABC FN42", -6);
    c.MSFlexGrid1->setRow(0);
    c.MSFlexGrid1->setCol(column);
    f.MSFlexGrid1_Click();
    QCOMPARE(c.Text1->text(), QString("K1ABC"));
    QCOMPARE(h.pickedTime(), QString());
    QCOMPARE(c.MSFlexGrid2->textMatrix(0, 3), QString("K1ABC"));
    QVERIFY(!h.steps().history().trackedHistoryText().isEmpty());
}

void TestCommands::pickOnEmptyRowCopiesEmptyTexts()
{
    FormHarness h;
    Form1& f = *h.form;
    const Form1Controls c = h.controls();
    c.MSFlexGrid1->setRow(40);
    c.MSFlexGrid1->setCol(4);
    f.MSFlexGrid1_Click();
    QCOMPARE(c.Text1->text(), QString());
    QCOMPARE(h.pickedTime(), QString());
}

void TestCommands::clickIntoBoxEmptiesItAndRestarts()
{
    FormHarness h;
    Form1& f = *h.form;
    const Form1Controls c = h.controls();
    h.decode("CQ K1ABC FN42", -6, 0, 1000);
    c.MSFlexGrid1->setRow(0);
    c.MSFlexGrid1->setCol(4);
    f.MSFlexGrid1_Click();
    h.decode("CQ K1ABC FN42", -6);
    f.Text1_Click();
    QCOMPARE(c.Text1->text(), QString());
    QCOMPARE(h.pickedTime(), QString("00:00:01"));
    QCOMPARE(h.steps().history().trackedHistoryText(), QString());
    QCOMPARE(c.MSFlexGrid2->textMatrix(0, 0), QString());
    f.Text1_Click();
    QCOMPARE(h.steps().history().trackedRowCounter(), 0);

    // The real click, through the box's own mouse event.
    c.Text1->setText(QStringLiteral("W9XYZ"));
    QTest::mouseClick(c.Text1, Qt::LeftButton);
    QCOMPARE(c.Text1->text(), QString());
}

void TestCommands::typedLettersBecomeCapitals()
{
    FormHarness h;
    Form1& f = *h.form;
    const Form1Controls c = h.controls();
    f.show();
    QVERIFY(QTest::qWaitForWindowExposed(&f));
    c.Text1->setText(QString());
    c.Text1->setFocus();
    QTest::keyClicks(c.Text1, QStringLiteral("k1abc/p"));
    QCOMPARE(c.Text1->text(), QString("K1ABC/P"));
    QTest::keyClick(c.Text1, Qt::Key_Backspace);
    QCOMPARE(c.Text1->text(), QString("K1ABC/"));
    QCOMPARE(Form1::Text1_KeyPress(u'\u00e9'), u'\u00e9');
    QCOMPARE(Form1::Text1_KeyPress(u'z'), u'Z');
    QCOMPARE(Form1::Text1_KeyPress(u'{'), u'{');
    QCOMPARE(Form1::Text1_KeyPress(u'`'), u'`');
    QCOMPARE(Form1::Text1_KeyPress(u'\r'), u'\r');
}

void TestCommands::rightClickShowsTheHistoryText()
{
    FormHarness h;
    Form1& f = *h.form;
    const Form1Controls c = h.controls();
    f.Text1_Click();
    f.MSFlexGrid2_MouseDown(Qt::RightButton);
    QCOMPARE(h.dialogs.longTexts, QStringList{QString()});
    c.Text1->setText(QStringLiteral("K1ABC"));
    h.decode("CQ K1ABC FN42", -7, 0.1, 43'215'000);
    f.MSFlexGrid2_MouseDown(Qt::LeftButton);
    f.MSFlexGrid2_MouseDown(Qt::MiddleButton);
    QCOMPARE(h.dialogs.longTexts.size(), 1);
    f.MSFlexGrid2_MouseDown(Qt::RightButton);
    QCOMPARE(h.dialogs.longTexts.last(), QString("12:00:15  -7  +0.1  K1ABC\r\n"));
    QCOMPARE(h.steps().history().trackedHistoryText(), QString("12:00:15  -7  +0.1  K1ABC\r\n"));
}

void TestCommands::portCommandAcceptsAPortAndCloses_data()
{
    QTest::addColumn<QString>("answer");
    QTest::addColumn<QString>("saved");
    QTest::newRow("unchanged default") << "2238"
                                       << "2238";
    QTest::newRow("blanks around") << "  5000 "
                                   << "5000";
    QTest::newRow("fraction rounds to even") << "23039.5"
                                             << "23040";
    QTest::newRow("above 32767") << "40000"
                                 << "40000";
    QTest::newRow("highest") << "65535"
                             << "65535";
}

void TestCommands::portCommandAcceptsAPortAndCloses()
{
    QFETCH(QString, answer);
    QFETCH(QString, saved);
    FormHarness h;
    h.form->show();
    h.dialogs.answer = answer;
    h.form->mnuUDPport_Click();
    QCOMPARE(h.dialogs.prompts, QStringList{"TYpe UDP port number [2238]"});
    QCOMPARE(h.dialogs.messages, QStringList{"Re-open Vantorel"});
    QVERIFY(!h.form->isVisible());
    QVERIFY(h.iniText().contains("UDP port=" + saved + "\r\n"));
}

void TestCommands::portCommandRefusesSilently_data()
{
    QTest::addColumn<std::optional<QString>>("answer");
    QTest::newRow("cancel") << std::optional<QString>();
    QTest::newRow("empty") << std::optional<QString>("");
    QTest::newRow("no number") << std::optional<QString>("port");
    QTest::newRow("trailing text") << std::optional<QString>("2239x");
    QTest::newRow("above the highest") << std::optional<QString>("65536");
    QTest::newRow("rounds above the highest") << std::optional<QString>("65535.5");
    QTest::newRow("zero") << std::optional<QString>("0");
    QTest::newRow("negative") << std::optional<QString>("-5");
}

void TestCommands::portCommandRefusesSilently()
{
    QFETCH(std::optional<QString>, answer);
    FormHarness h;
    const QString ini = h.iniText();
    h.form->show();
    h.dialogs.answer = answer;
    h.form->mnuUDPport_Click();
    QVERIFY(h.dialogs.messages.isEmpty());
    QVERIFY(h.form->isVisible());
    QCOMPARE(h.iniText(), ini);
}

void TestCommands::messageBoxShowsTextAsWritten()
{
    // The real box, closed by a timer once it shows.
    Qt::TextFormat format = Qt::RichText;
    QString text;
    QTimer::singleShot(0, this, [&] {
        for (QWidget* widget : QApplication::topLevelWidgets()) {
            if (auto* box = qobject_cast<QMessageBox*>(widget); box && box->isVisible()) {
                format = box->textFormat();
                text = box->text();
                box->accept();
            }
        }
    });
    QtUserDialogs().showMessage(nullptr, QStringLiteral("Cannot read <b>C:\\x</b>"));
    QCOMPARE(text, QString("Cannot read <b>C:\\x</b>"));
    QCOMPARE(format, Qt::PlainText);
}

QTEST_MAIN(TestCommands)
#include "tst_commands.moc"
