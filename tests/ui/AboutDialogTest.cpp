#include "ui/AboutDialog.h"
#include "platform/gui/DialogUnits.h"
#include "ui/AboutPicture.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QSignalSpy>
#include <QTest>

namespace korvane {

// Each case opens a fresh box the way the main window does: index set, then shown modally.
class AboutDialogTest : public QObject {
    Q_OBJECT

  private:
    struct Opened {
        std::unique_ptr<AboutDialog> dialog;
        QComboBox* list;
        std::unique_ptr<QSignalSpy> finished;
    };

    static Opened Open(int languageIndex) {
        Opened opened;
        opened.dialog = std::make_unique<AboutDialog>(DrawAboutPicture());
        opened.dialog->m_languageIndex = languageIndex;
        opened.list =
            opened.dialog->findChild<QComboBox*>(QStringLiteral("c%1").arg(kLanguageList));
        opened.finished = std::make_unique<QSignalSpy>(opened.dialog.get(), &QDialog::finished);
        opened.dialog->open();
        return opened;
    }

  private slots:
    void templateLayout() {
        const Opened opened = Open(1);
        AboutDialog& dialog = *opened.dialog;
        QCOMPARE(dialog.windowTitle(), QStringLiteral("About Korvane"));
        const DialogBaseUnits units = BaseUnitsOf(QApplication::font());
        QCOMPARE(dialog.font(), QApplication::font());
        QVERIFY(dialog.width() >= DialogUnitsToPixelsX(405, units)); // 405 x 311 dialog units
        // The picture, and the language list's label beside the list.
        QList<QLabel*> pictures = dialog.findChildren<QLabel*>();
        QCOMPARE(pictures.size(), 2);
        QCOMPARE(pictures[1]->buddy(), opened.list);
        QVERIFY(pictures[1]->geometry().right() < opened.list->geometry().left());
        pictures.removeLast();
        // As tall as the picture, with the same margin below it as beside it.
        QCOMPARE(dialog.height() - 1 - pictures[0]->geometry().bottom(),
                 DialogUnitsToPixelsX(7, units));
        QVERIFY(opened.list != nullptr);
        QCOMPARE(opened.list->geometry().topLeft(),
                 QPoint(DialogUnitsToPixelsX(331, units), DialogUnitsToPixelsY(7, units)));
        QCOMPARE(opened.list->width(),
                 DialogUnitsToPixelsX(331 + 67, units) - DialogUnitsToPixelsX(331, units));
        QVERIFY(!opened.list->isEditable());

        QCOMPARE(pictures[0]->pixmap().size(), QSize(584, 444));
        QCOMPARE(pictures[0]->contentsRect().size(), QSize(584, 444));
    }

    // Drawn for the font as the window draws it, the picture fills its room one way and is
    // centred across the box, below the language list, whatever the font's size.
    void pictureCentredAtEverySize_data() {
        QTest::addColumn<int>("points");
        QTest::newRow("9 pt") << 9;
        QTest::newRow("13 pt") << 13;
        QTest::newRow("20 pt") << 20;
    }

    void pictureCentredAtEverySize() {
        QFETCH(int, points);
        const QFont desktop = QApplication::font();
        QFont font = desktop;
        font.setPointSize(points);
        QApplication::setFont(font);
        AboutDialog dialog(DrawAboutPicture(AboutDialog::PictureScale()));
        QApplication::setFont(desktop);
        const DialogBaseUnits units = BaseUnitsOf(font);
        const QRect picture = dialog.findChildren<QLabel*>().first()->geometry();
        QCOMPARE(picture.top(), DialogUnitsToPixelsY(30, units));
        const int right = dialog.width() - 1 - picture.right();
        QVERIFY2(std::abs(picture.left() - right) <= 1,
                 qPrintable(QString("%1 left, %2 right").arg(picture.left()).arg(right)));
        QVERIFY(picture.left() >= DialogUnitsToPixelsX(7, units));
    }

    void languagesInAlphabeticalOrder() {
        const Opened opened = Open(1);
        QStringList entries;
        for (int i = 0; i < opened.list->count(); ++i) {
            entries << opened.list->itemText(i);
        }
        QCOMPARE(entries, QStringList({QStringLiteral("Deutsch"), QStringLiteral("English"),
                                       QStringLiteral("Español"), QStringLiteral("Français")}));
    }

    void showingSelectsTheIndex_data() {
        QTest::addColumn<int>("index");
        QTest::addColumn<QString>("shown");
        QTest::newRow("German") << 0 << QStringLiteral("Deutsch");
        QTest::newRow("English") << 1 << QStringLiteral("English");
        QTest::newRow("French") << 3 << QStringLiteral("Français");
        QTest::newRow("outside, 7") << 7 << QString();
        QTest::newRow("outside, -1") << -1 << QString();
    }

    void showingSelectsTheIndex() {
        QFETCH(int, index);
        QFETCH(QString, shown);
        const Opened opened = Open(index);
        QCOMPARE(opened.list->currentText(), shown);
        QCOMPARE(opened.list->currentIndex(), shown.isEmpty() ? -1 : index);
        QVERIFY(opened.dialog->isVisible()); // selecting on show is no user choice
        QCOMPARE(opened.dialog->m_languageIndex, index);
    }

    void arrowsMoveAndEnterOrSpaceChooses_data() {
        QTest::addColumn<int>("index");
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("moved");
        QTest::addColumn<int>("chooseKey");
        QTest::newRow("English, down, Enter") << 1 << int(Qt::Key_Down) << 2 << int(Qt::Key_Return);
        QTest::newRow("French, up, Space") << 3 << int(Qt::Key_Up) << 2 << int(Qt::Key_Space);
        QTest::newRow("German, end, Enter") << 0 << int(Qt::Key_End) << 3 << int(Qt::Key_Enter);
        QTest::newRow("nothing, home, Space") << 7 << int(Qt::Key_Home) << 0 << int(Qt::Key_Space);
        QTest::newRow("French, down stays") << 3 << int(Qt::Key_Down) << 3 << int(Qt::Key_Space);
    }

    void arrowsMoveAndEnterOrSpaceChooses() {
        QFETCH(int, index);
        QFETCH(int, key);
        QFETCH(int, moved);
        QFETCH(int, chooseKey);
        const Opened opened = Open(index);
        QTest::keyClick(opened.list, static_cast<Qt::Key>(key));
        QTest::keyClick(opened.list, Qt::Key_F); // typing does not choose either
        QCOMPARE(opened.finished->count(), 0);
        QCOMPARE(opened.list->currentIndex(), moved);
        QCOMPARE(opened.dialog->m_languageIndex, index);
        QTest::keyClick(opened.list, static_cast<Qt::Key>(chooseKey));
        QCOMPARE(opened.finished->count(), 1);
        QCOMPARE(opened.finished->at(0).at(0).toInt(), int(QDialog::Accepted));
        QCOMPARE(opened.dialog->m_languageIndex, moved);
        QVERIFY(!opened.dialog->isVisible());
    }

    void clickInTheDropDownChooses() {
        const Opened opened = Open(1);
        opened.list->showPopup();
        QAbstractItemView* view = opened.list->view();
        QTRY_VERIFY(view->isVisible());
        const QModelIndex french = view->model()->index(3, 0);
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, view->visualRect(french).center());
        QCOMPARE(opened.finished->count(), 1);
        QCOMPARE(opened.dialog->result(), int(QDialog::Accepted));
        QCOMPARE(opened.dialog->m_languageIndex, 3);
    }

    void escapeRejectsAndKeepsTheIndex() {
        const Opened opened = Open(2);
        QTest::keyClick(opened.list, Qt::Key_Escape);
        QCOMPARE(opened.finished->count(), 1);
        QCOMPARE(opened.finished->at(0).at(0).toInt(), int(QDialog::Rejected));
        QCOMPARE(opened.dialog->m_languageIndex, 2);
    }

    void closeBoxRejects() {
        const Opened opened = Open(0);
        QVERIFY(opened.dialog->close());
        QCOMPARE(opened.dialog->result(), int(QDialog::Rejected));
        QCOMPARE(opened.dialog->m_languageIndex, 0);
    }

    void enterOnTheBoxDoesNothing() {
        const Opened opened = Open(3);
        QTest::keyClick(opened.dialog.get(), Qt::Key_Return);
        QTest::keyClick(opened.dialog.get(), Qt::Key_Enter);
        QCOMPARE(opened.finished->count(), 0);
        QVERIFY(opened.dialog->isVisible());
        QCOMPARE(opened.dialog->m_languageIndex, 3);
    }
};

} // namespace korvane

QTEST_MAIN(korvane::AboutDialogTest)

#include "AboutDialogTest.moc"
