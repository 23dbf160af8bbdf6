// SPDX-License-Identifier: MIT
// The credits panel's scroll: when it moves, wraps and stops, and what its off-screen frames show.

#include <QEventLoop>
#include <QImage>
#include <QLabel>
#include <QTimer>

#include <gtest/gtest.h>

#include <cstdlib>
#include <stdexcept>

#include "ui/components/about_credits.h"
#include "ui/components/credits_panel.h"

namespace {

class CreditsPanelTest : public ::testing::Test {
 protected:
  CreditsPanelTest() {
    panel.resize(310, 92);
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(11);
    panel.setFont(font);
    panel.OnStartPlay = [this](CreditsPanel*) { ++starts; };
    panel.OnStopPlay = [this](CreditsPanel*) { ++stops; };
  }

  void Steps(int count) {
    for (int i = 0; i < count; ++i) panel.ScrollStep();
  }
  QImage FrameImage() const { return panel.Frame().toImage(); }
  QRgb Background() const { return panel.palette().color(panel.backgroundRole()).rgba(); }
  // Rows [first, first + count) of the frame, compared pixel by pixel.
  static bool SameRows(const QImage& a, int aFirst, const QImage& b, int bFirst, int count) {
    for (int y = 0; y < count; ++y) {
      for (int x = 0; x < a.width(); ++x) {
        if (a.pixel(x, aFirst + y) != b.pixel(x, bFirst + y)) return false;
      }
    }
    return true;
  }
  // The first and last columns, and the first row, that hold anything but the background.
  QRect Ink(const QImage& image) const {
    QRect ink;
    for (int y = 0; y < image.height(); ++y) {
      for (int x = 0; x < image.width(); ++x) {
        if (image.pixel(x, y) != Background()) ink |= QRect(x, y, 1, 1);
      }
    }
    return ink;
  }

  CreditsPanel panel;
  int starts = 0;
  int stops = 0;
};

TEST_F(CreditsPanelTest, TextAreaLeavesRoomForBevelPaddingAndGlyph) {
  EXPECT_EQ(panel.TextArea(), QRect(7, 4, 299, 84));
  QPixmap glyph(16, 20);
  glyph.fill(Qt::red);
  panel.SetGlyph(glyph);
  EXPECT_EQ(panel.TextArea(), QRect(23, 4, 283, 84));
  panel.SetGlyphLayout(GlyphSide::Bottom);
  EXPECT_EQ(panel.TextArea(), QRect(4, 4, 302, 61));
  panel.resize(20, 20);
  EXPECT_EQ(panel.TextArea(), QRect(0, 0, 0, 0));
}

TEST_F(CreditsPanelTest, WithoutLinesItStopsAtTheFirstTickUnlessCycled) {
  panel.SetActive(true);
  panel.SetActive(true);
  EXPECT_EQ(starts, 1);
  EXPECT_FALSE(panel.Frame().isNull());
  Steps(1);
  EXPECT_FALSE(panel.Active());
  EXPECT_EQ(stops, 1);
  EXPECT_TRUE(panel.Frame().isNull()) << "the off-screen picture lives only while active";

  panel.SetCycled(true);
  panel.SetActive(true);
  Steps(3);
  EXPECT_TRUE(panel.Active());
  EXPECT_EQ(panel.Offset(), 0);
  EXPECT_TRUE(Ink(FrameImage()).isNull());
}

TEST_F(CreditsPanelTest, SingleLineNeverShowsUnlessCycledThenStaysAtTheTop) {
  panel.SetLines({QStringLiteral("Vexmira")});
  panel.SetActive(true);
  EXPECT_TRUE(Ink(FrameImage()).isNull());
  Steps(1);
  EXPECT_FALSE(panel.Active());
  EXPECT_EQ(stops, 1);

  panel.SetCycled(true);
  panel.SetActive(true);
  Steps(2);
  EXPECT_EQ(panel.Offset(), 0);
  const QRect ink = Ink(FrameImage());
  ASSERT_FALSE(ink.isNull());
  EXPECT_LT(ink.top(), panel.LineHeight() / 2) << "the line starts at the top of the text area";
  EXPECT_LE(ink.bottom(), panel.LineHeight());
}

TEST_F(CreditsPanelTest, OnePassScrollsUntilTheLastLineIsAtTheTop) {
  panel.SetLines(AboutCreditLines());
  const int h = QFontMetrics(panel.font()).height() + QFontMetrics(panel.font()).leading();
  panel.SetActive(true);
  ASSERT_EQ(panel.LineHeight(), h);
  Steps(10 * h);
  EXPECT_EQ(panel.Offset(), 10 * h);
  EXPECT_TRUE(panel.Active());
  Steps(1);
  EXPECT_FALSE(panel.Active()) << "without Cycled the panel stops after the last line";

  panel.SetCycled(true);
  panel.SetActive(true);
  EXPECT_EQ(panel.Offset(), 0) << "each start begins at the top";
  Steps(10 * h + 1);
  EXPECT_EQ(panel.Offset(), 0);
  Steps(5);
  panel.SetLines(AboutCreditLines());
  EXPECT_EQ(panel.Offset(), 0) << "new lines start again from the top";
  EXPECT_EQ(stops, 1);
}

// Scrolling moves the same picture up one pixel a step: the frame at offset k shows the rows of
// the frame at offset 0 from k on, and a new line enters at the bottom.
TEST_F(CreditsPanelTest, FramesAtLaterOffsetsAreTheFirstFrameMovedUp) {
  panel.SetLines({QStringLiteral("First line"), QStringLiteral("\tSecond"), QStringLiteral("Third"),
                  QStringLiteral("Fourth"), QStringLiteral("Fifth"), QStringLiteral("Sixth"),
                  QStringLiteral("Seventh"), QStringLiteral("Eighth"), QStringLiteral("Ninth")});
  panel.SetCycled(true);
  panel.SetActive(true);
  const int h = panel.LineHeight();
  const int lastOffset = 8 * h;
  Steps(lastOffset + 1);  // one whole pass: back at offset 0, drawn
  ASSERT_EQ(panel.Offset(), 0);
  const QImage first = FrameImage();
  const int height = first.height();
  ASSERT_EQ(height, 84);
  for (int k : {1, 5, h, h + 3, 3 * h - 1}) {
    SCOPED_TRACE(k);
    Steps(k - panel.Offset());
    const QImage later = FrameImage();
    EXPECT_TRUE(SameRows(later, 0, first, k, height - k));
    EXPECT_FALSE(SameRows(later, 0, first, 0, height)) << "the frame moved";
  }
  // Near the end only the last lines show; the rest of the frame is blank.
  Steps(lastOffset - panel.Offset());
  const QRect ink = Ink(FrameImage());
  ASSERT_FALSE(ink.isNull());
  EXPECT_LT(ink.bottom(), h + 1);
}

TEST_F(CreditsPanelTest, AlignmentAndRaisedStyleInTheFrame) {
  panel.SetLines({QStringLiteral("Vexmira")});
  panel.SetCycled(true);
  panel.SetActive(true);
  const int width = panel.TextArea().width();

  panel.SetAlignment(Qt::AlignLeft);
  EXPECT_LE(Ink(FrameImage()).left(), 1);
  panel.SetAlignment(Qt::AlignRight);
  EXPECT_GE(Ink(FrameImage()).right(), width - 2);
  panel.SetAlignment(Qt::AlignHCenter);
  const QRect centred = Ink(FrameImage());
  EXPECT_LE(std::abs(centred.left() - (width - 1 - centred.right())), 2);

  const int plainHeight = panel.LineHeight();
  QPalette palette = panel.palette();
  palette.setColor(QPalette::Light, Qt::yellow);
  panel.setPalette(palette);
  panel.SetTextStyle(TextRelief::Raised);
  Steps(1);
  EXPECT_EQ(panel.LineHeight(), plainHeight + 1) << "a pixel more for the shadow";
  bool shadow = false;
  const QImage frame = FrameImage();
  for (int y = 0; y < frame.height() && !shadow; ++y) {
    for (int x = 0; x < frame.width() && !shadow; ++x) {
      const QRgb pixel = frame.pixel(x, y);
      shadow = qRed(pixel) > 150 && qGreen(pixel) > 150 && qBlue(pixel) < 100;  // yellowish
    }
  }
  EXPECT_TRUE(shadow);
}

TEST_F(CreditsPanelTest, StartFailureLeavesItStoppedAndChildrenComeBack) {
  QLabel child(QStringLiteral("hidden while scrolling"), &panel);
  panel.OnStartPlay = [](CreditsPanel*) { throw std::runtime_error("no credits"); };
  EXPECT_THROW(panel.SetActive(true), std::runtime_error);
  EXPECT_FALSE(panel.Active());
  EXPECT_TRUE(panel.Frame().isNull());
  EXPECT_FALSE(child.isHidden());

  panel.OnStartPlay = nullptr;
  panel.SetActive(true);
  EXPECT_TRUE(child.isHidden());
  panel.SetActive(false);
  EXPECT_FALSE(child.isHidden());
  EXPECT_THROW(panel.SetInterval(-1), std::invalid_argument);
}

TEST_F(CreditsPanelTest, TheTimerStepsAndIntervalZeroHoldsTheScroll) {
  panel.SetLines(AboutCreditLines());
  panel.SetInterval(1);
  panel.SetActive(true);
  QEventLoop loop;
  QTimer poll;
  QObject::connect(&poll, &QTimer::timeout, [&] {
    if (panel.Offset() >= 3) loop.quit();
  });
  poll.start(1);
  QTimer::singleShot(2000, &loop, &QEventLoop::quit);
  loop.exec();
  EXPECT_GE(panel.Offset(), 3);

  panel.SetInterval(0);
  const int held = panel.Offset();
  QTimer::singleShot(30, &loop, &QEventLoop::quit);
  loop.exec();
  EXPECT_EQ(panel.Offset(), held);
}

}  // namespace
