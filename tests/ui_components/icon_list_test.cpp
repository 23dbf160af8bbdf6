// SPDX-License-Identifier: MIT
// The icon list's change notifications and editing, and the two letter pictures.

#include <QImage>
#include <QPixmap>

#include <gtest/gtest.h>

#include <stdexcept>

#include "session/mailbox_scan.h"
#include "ui/components/icon_list.h"
#include "ui/components/letter_icons.h"

namespace {

QIcon Solid(Qt::GlobalColor colour) {
  QPixmap pixmap(16, 16);
  pixmap.fill(colour);
  return QIcon(pixmap);
}

TEST(IconListTest, EveryChangeNotifiesOnceAndUpdatesBatch) {
  IconList list;
  int changes = 0;
  list.OnChange = [&] { ++changes; };
  const QIcon red = Solid(Qt::red), green = Solid(Qt::green), blue = Solid(Qt::blue);

  list.Add(red);
  list.Add(green);
  list.Insert(0, blue);  // blue red green
  list.Move(0, 2);       // red green blue
  list.Exchange(0, 1);   // green red blue
  EXPECT_EQ(changes, 5);
  EXPECT_EQ(list.IndexOf(green), 0);
  EXPECT_EQ(list.IndexOf(red), 1);
  EXPECT_EQ(list.IndexOf(blue), 2);
  EXPECT_EQ(list.IndexOf(Solid(Qt::red)), -1) << "an equal-looking but different picture is not found";

  list.BeginUpdate();
  list.BeginUpdate();
  list.Delete(0);
  list.SetIcon(0, QIcon());  // an entry may be empty
  list.EndUpdate();
  EXPECT_EQ(changes, 5) << "nothing until the outer EndUpdate";
  list.EndUpdate();
  EXPECT_EQ(changes, 6);
  EXPECT_TRUE(list.Icon(0).isNull());

  list.BeginUpdate();
  list.EndUpdate();
  EXPECT_EQ(changes, 6) << "an update without changes notifies nothing";

  IconList copy;
  copy.Assign(list);
  EXPECT_EQ(copy.Count(), 2);
  list.Assign(red);
  EXPECT_EQ(list.Count(), 1);
  list.Clear();
  EXPECT_EQ(changes, 8);
  EXPECT_THROW(list.EndUpdate(), std::logic_error);
}

// Looks at the drawn pictures the way a desktop takes them: at the size it asks for.
TEST(LetterIconsTest, BothPicturesAtEveryTraySizeInTheScanOrder) {
  IconList list;
  AddLetterIcons(list);
  ASSERT_EQ(list.Count(), 2);
  const QIcon newMail = list.Icon(kIconNewMail);
  const QIcon noMail = list.Icon(kIconNoMail);
  for (int size : {16, 22, 24, 32, 48, 64}) {
    SCOPED_TRACE(size);
    const QImage letter = newMail.pixmap(size, size).toImage();
    const QImage crossed = noMail.pixmap(size, size).toImage();
    ASSERT_EQ(letter.size(), QSize(size, size));
    ASSERT_EQ(crossed.size(), QSize(size, size));
    // Across the middle: transparent beside the upright sheet, its black outline, white inside.
    int edge = 0;
    while (edge < size / 2 && qAlpha(letter.pixel(edge, size / 2)) == 0) ++edge;
    EXPECT_GE(edge, size / 10);
    EXPECT_EQ(letter.pixel(edge, size / 2), qRgba(0, 0, 0, 255));
    EXPECT_EQ(letter.pixel(size / 2, size / 2), qRgba(255, 255, 255, 255));
    // The crossed picture is black where the diagonals meet.
    EXPECT_LT(qGray(crossed.pixel(size / 2, size / 2)), 64);
    EXPECT_GT(qAlpha(crossed.pixel(size / 2, size / 2)), 192);
  }
}

}  // namespace
