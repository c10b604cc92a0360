#include <gmock/gmock.h>

#include <QDesktopServices>
#include <QLabel>
#include <QTest>
#include <QToolButton>
#include <QUrl>

#include "UiTest.h"
#include "ui/FormTools.h"
#include "ui/about.h"

namespace uitest {
namespace {

// Takes the addresses the box hands to the desktop.
class UrlRecorder : public QObject {
    Q_OBJECT
public:
    QList<QUrl> opened;

public slots:
    void Open(const QUrl& url) { opened.append(url); }
};

class InfoBoxTest : public UiTest {
protected:
    InfoBoxTest() {
        for (const char* scheme : {"https", "mailto"})
            QDesktopServices::setUrlHandler(QLatin1String(scheme), &recorder_, "Open");
    }
    ~InfoBoxTest() override {
        for (const char* scheme : {"https", "mailto"})
            QDesktopServices::unsetUrlHandler(QLatin1String(scheme));
    }
    UrlRecorder recorder_;
};

TEST_F(InfoBoxTest, LinksOpenTheWebPageAndAMailAndLeaveTheBoxOpen) {
    TAboutBox box;
    box.show();
    QTest::mouseClick(Child<QToolButton>(box, "SpeedWWW"), Qt::LeftButton);
    QTest::mouseClick(Child<QToolButton>(box, "SpeedButton1"), Qt::LeftButton);
    QTest::mouseClick(Child<QToolButton>(box, "SpeedMail"), Qt::LeftButton);
    ASSERT_EQ(recorder_.opened.size(), 3);
    EXPECT_EQ(recorder_.opened[0], QUrl(QString::fromLatin1(BootramaWebAddress)));
    EXPECT_EQ(recorder_.opened[1], recorder_.opened[0]);
    EXPECT_EQ(recorder_.opened[2].toString(), QStringLiteral("mailto:") + BootramaMailAddress);
    EXPECT_TRUE(box.isVisible());
    EXPECT_EQ(Child<QToolButton>(box, "SpeedButton1")->text(), BootramaWebAddress);
    EXPECT_TRUE(BoxTexts().empty());
}

TEST_F(InfoBoxTest, EveryControlHasItsRoomInAFixedSize) {
    TAboutBox box;
    box.show();
    const double scale = DesignScale(&box);
    EXPECT_EQ(box.minimumSize(), box.maximumSize());
    EXPECT_GE(box.width(), Scaled(378, scale));
    EXPECT_GE(box.height(), Scaled(306, scale));
    ExpectNoControlSquashed(box);
}

TEST_F(InfoBoxTest, EnterClosesTheBoxThroughOk) {
    TAboutBox box;
    box.show();
    EXPECT_EQ(box.windowTitle(), "Program Info");
    EXPECT_EQ(Child<QLabel>(box, "Headline")->text(), "Bootrama 2.0");
    EXPECT_THAT(Child<QLabel>(box, "LicenceLabel")->text().toStdString(),
                ::testing::HasSubstr("GNU General Public License, version 3 or later"));
    QTest::keyClick(&box, Qt::Key_Return);
    EXPECT_FALSE(box.isVisible());
    EXPECT_EQ(box.result(), QDialog::Accepted);
}

}  // namespace
}  // namespace uitest

#include "InfoTest.moc"
