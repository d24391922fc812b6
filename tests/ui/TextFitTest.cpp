#include "job/LanguageTable.h"
#include "job/ProfileKeys.h"
#include "platform/Profile.h"
#include "platform/gui/MessageBox.h"
#include "tests/ui/TestHome.h"
#include "ui/DialogFit.h"
#include "ui/ElidedLabel.h"
#include "ui/InstructionLabel.h"
#include "ui/MainDialog.h"
#include "ui/MainDialogTemplate.h"
#include "ui/ProgramFolderGlobal.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QFontMetrics>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <QStyleOptionButton>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <memory>

namespace korvane {
namespace {
// The lightness of the darkest pixel: the ink of a button's icon.
int DarkestLightness(const QImage& image) {
    int darkest = 255;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            darkest = std::min(darkest, image.pixelColor(x, y).lightness());
        }
    }
    return darkest;
}
} // namespace

// Every text of the window against its rectangle, in every language and at several desktop font
// sizes; the scale factor comes from QT_SCALE_FACTOR, which the test is run under three times.
class TextFitTest : public QObject {
    Q_OBJECT

  private:
    MainDialog& Start(int language, int pointSize) {
        QFont font = m_desktopFont;
        font.setPointSize(pointSize);
        QApplication::setFont(font);
        m_profile = std::make_unique<Profile>();
        m_profile->WriteProfileInt(kKeyLanguage, language);
        m_dialog = std::make_unique<MainDialog>(*m_profile, std::vector<std::string>{"korvane"});
        m_dialog->OnInitDialog();
        m_dialog->show();
        return *m_dialog;
    }

    // Whether text shows whole in control, or why not.
    static QString Clipped(const QWidget& control, const QString& text) {
        const QFontMetrics metrics(control.font());
        const QRect room = CaptionRect(control);
        if (!control.rect().contains(room) || metrics.horizontalAdvance(text) > room.width() ||
            metrics.height() > room.height()) {
            return QString("%1 \"%2\": %3 x %4 in %5 x %6")
                .arg(control.objectName(), text)
                .arg(metrics.horizontalAdvance(text))
                .arg(metrics.height())
                .arg(room.width())
                .arg(room.height());
        }
        return {};
    }

    // Every control inside the window, and its texts whole in the language.
    static void CheckTextsWhole(MainDialog& dialog, int language, int pointSize) {
        const QRect window = dialog.rect();
        int walked = 0;
        for (QWidget* control : dialog.findChildren<QWidget*>()) {
            if (control->isWindow() || !control->isVisibleTo(&dialog)) {
                continue;
            }
            // One size for every control and language: the desktop's.
            QCOMPARE(control->font().pointSize(), pointSize);
            QVERIFY2(window.contains(QRect(control->mapTo(&dialog, QPoint()), control->size())),
                     qPrintable(control->objectName()));
            QString problem;
            if (auto* instruction = qobject_cast<InstructionLabel*>(control)) {
                const LanguageTexts& texts = *LanguageTextsFor(language);
                for (const char* text : {texts.textWelcome, texts.textLoaded, texts.textSaved}) {
                    if (instruction->TextHeight(QString::fromUtf8(text), instruction->font()) >
                        instruction->height()) {
                        problem = QString::fromUtf8(text);
                    }
                }
            } else if (auto* elided = qobject_cast<ElidedLabel*>(control)) {
                if (elided->fontMetrics().horizontalAdvance(elided->text()) >
                    elided->contentsRect().width()) {
                    problem = elided->text();
                }
            } else if (auto* button = qobject_cast<QAbstractButton*>(control)) {
                problem = button->text().isEmpty() ? QString() : Clipped(*button, button->text());
            } else if (auto* group = qobject_cast<QGroupBox*>(control)) {
                problem = Clipped(*group, group->title());
            } else if (auto* label = qobject_cast<QLabel*>(control)) {
                problem = label->text().isEmpty() ? QString() : Clipped(*label, label->text());
            } else {
                continue;
            }
            ++walked;
            QVERIFY2(problem.isEmpty(), qPrintable(problem));
        }
        QVERIFY(walked >= 14);
    }

    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<Profile> m_profile;
    std::unique_ptr<MainDialog> m_dialog;
    QFont m_desktopFont;

  private slots:
    void initTestCase() { m_desktopFont = QApplication::font(); }

    void init() {
        m_dir = std::make_unique<QTemporaryDir>();
        UseTestHome(*m_dir);
        SetMessageBoxHook([](const std::string&, MessageIcon, const std::string&) {});
    }

    void cleanup() {
        m_dialog.reset();
        m_profile.reset();
        SetMessageBoxHook(nullptr);
        QApplication::setFont(m_desktopFont);
    }

    // The player's buttons, the check box's square and the logo grow with the font, as the
    // captions do; an enabled Play button is told from a disabled one at a glance.
    void playerIconsCheckBoxAndLogoFollowTheFont() {
        int previous = 0;
        for (int pointSize : {9, 13}) {
            MainDialog& dialog = Start(1, pointSize);
            auto* play = dialog.findChild<QPushButton*>("playButton");
            const int side = play->icon().actualSize(play->iconSize()).height();
            QCOMPARE(side, QFontMetrics(dialog.font()).height());
            QVERIFY2(side > previous, qPrintable(QString::number(side)));
            previous = side;
            play->setEnabled(true);
            const int enabledInk = DarkestLightness(play->grab().toImage());
            play->setEnabled(false);
            const int disabledInk = DarkestLightness(play->grab().toImage());
            QVERIFY2(
                disabledInk - enabledInk >= 50,
                qPrintable(QString("%1 enabled, %2 disabled").arg(enabledInk).arg(disabledInk)));
            const auto* logo = dialog.findChild<QLabel*>("logo");
            const QSizeF drawn = logo->pixmap().deviceIndependentSize();
            const QSize room = logo->contentsRect().size();
            QVERIFY2(drawn.height() >= 0.85 * room.height() && drawn.width() <= room.width(),
                     qPrintable(QString("%1 x %2 in %3 x %4")
                                    .arg(drawn.width())
                                    .arg(drawn.height())
                                    .arg(room.width())
                                    .arg(room.height())));
            auto* check = dialog.findChild<QCheckBox*>(QString("c%1").arg(kStuckNotes));
            QStyleOptionButton option;
            option.initFrom(check);
            const QRect square =
                check->style()->subElementRect(QStyle::SE_CheckBoxIndicator, &option, check);
            QVERIFY2(square.height() >= QFontMetrics(dialog.font()).ascent(),
                     qPrintable(QString::number(square.height())));
        }
    }

    void everyTextShowsWhole_data() {
        QTest::addColumn<int>("language");
        QTest::addColumn<int>("pointSize");
        for (int language = 0; language < 4; ++language) {
            for (int pointSize : {9, 11, 13}) {
                QTest::addRow("language %d, %d pt", language, pointSize) << language << pointSize;
            }
        }
    }

    void everyTextShowsWhole() {
        QFETCH(int, language);
        QFETCH(int, pointSize);
        CheckTextsWhole(Start(language, pointSize), language, pointSize);
    }

    // A screen too short for the window (a 1366 x 768 one with a panel, 736 pixels left): it gives
    // up plot height to fit with a title bar as tall as desktops draw them, and stays resizable
    // above its minimum, the plot taking what it is given; no text is cut at any height.
    void windowFitsItsScreen_data() {
        QTest::addColumn<int>("pointSize");
        QTest::newRow("9 pt") << 9;
        QTest::newRow("13 pt") << 13;
    }

    void windowFitsItsScreen() {
        constexpr int kTitleBar = 37;
        QFETCH(int, pointSize);
        MainDialog& dialog = Start(1, pointSize);
        QVERIFY(dialog.minimumHeight() + kTitleBar <= 736);
        QCOMPARE(dialog.minimumWidth(), dialog.maximumWidth());
        QVERIFY(dialog.maximumHeight() > dialog.minimumHeight());
        const int available = dialog.screen()->availableGeometry().height();
        QVERIFY2(dialog.height() + kTitleBar <= available ||
                     dialog.height() == dialog.minimumHeight(),
                 qPrintable(QString("%1 in %2").arg(dialog.height()).arg(available)));
        CheckTextsWhole(dialog, 1, pointSize);

        const auto* plot = dialog.findChild<QWidget*>(QString("c%1").arg(kLevelView));
        const auto* strip = dialog.findChild<QWidget*>(QString("c%1").arg(kPlayer));
        const auto* input = dialog.findChild<QWidget*>(QString("c%1").arg(kInputPath));
        const QRect plotBefore = plot->geometry();
        const QRect stripBefore = strip->geometry();
        const QRect inputBefore = input->geometry();
        dialog.resize(dialog.width(), dialog.height() + 100);
        QTRY_COMPARE(plot->geometry(), plotBefore.adjusted(0, 0, 0, 100));
        QCOMPARE(strip->geometry(), stripBefore.translated(0, 100));
        QCOMPARE(input->geometry(), inputBefore);
        dialog.resize(dialog.width(), 0);
        QTRY_COMPARE(dialog.height(), dialog.minimumHeight());
        QVERIFY(plot->height() * 3 > plotBefore.height());
        CheckTextsWhole(dialog, 1, pointSize);
    }

    void windowGrowsWithTheFont() {
        const QSize small = Start(0, 9).size();
        m_dialog.reset();
        const QSize large = Start(0, 13).size();
        QVERIFY(large.width() > small.width() * 1.3);
        QVERIFY(large.height() > small.height() * 1.3);
        m_dialog.reset();
        QCOMPARE(Start(1, 13).size(), large); // the same size in every language
    }
};

} // namespace korvane

QTEST_MAIN(korvane::TextFitTest)

#include "TextFitTest.moc"
