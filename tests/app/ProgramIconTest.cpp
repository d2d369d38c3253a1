// The program's icon, decoded off the GUI thread (app/ProgramIcon).
#include "app/ProgramIcon.h"

#include <QtConcurrent>
#include <gtest/gtest.h>

namespace {

// The icon made on a worker thread is the one Qt makes of the files itself: the same six sizes
// and, size by size, the same pixels (the desktop gets all of them with each window).
TEST(ProgramIcon, DecodedOnAWorkerThreadItIsTheIconQtReadsFromTheFiles)
{
    const QList<QImage> pictures = QtConcurrent::run(readProgramIcon).result();
    ASSERT_EQ(pictures.size(), 6);
    const QIcon icon = programIcon(pictures);

    QIcon asQtReadsIt;
    for (int size : {16, 32, 48, 64, 128, 256})
        asQtReadsIt.addFile(QStringLiteral(":/icons/albisko-%1.png").arg(size));
    const QList<QSize> sizes = asQtReadsIt.availableSizes();
    ASSERT_EQ(sizes.size(), 6) << "the program's resource is linked in";
    EXPECT_EQ(icon.availableSizes(), sizes);
    for (const QSize& size : sizes) {
        SCOPED_TRACE(size.width());
        const QImage ours = icon.pixmap(size).toImage();
        const QImage qts = asQtReadsIt.pixmap(size).toImage();
        EXPECT_EQ(ours.size(), size);
        EXPECT_EQ(ours.format(), qts.format());
        EXPECT_TRUE(ours == qts);
        EXPECT_TRUE(icon.pixmap(size, QIcon::Disabled).toImage() == asQtReadsIt.pixmap(size, QIcon::Disabled).toImage());
    }
}

}  // namespace
