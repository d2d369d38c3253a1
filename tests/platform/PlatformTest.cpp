#include "platform/Dialogs.h"
#include "platform/Errors.h"
#include "platform/FileSystem.h"
#include "support/Fixtures.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <string>
#include <vector>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace platform;

TEST(IntegerText, AcceptsBlanksSignAndDigitsOnly)
{
    EXPECT_EQ(strToInt(QStringLiteral("42")), 42);
    EXPECT_EQ(strToInt(QStringLiteral("  -7")), -7);
    EXPECT_EQ(strToInt(QStringLiteral("+15")), 15);
    EXPECT_EQ(strToInt(QStringLiteral("-2147483648")), -2147483647 - 1);
    for (const char* bad : {"", " ", "-", "12 ", "1.5", "1,5", "abc", "0x10", "2147483648", "99999999999999999999"}) {
        int value = 123;
        EXPECT_FALSE(tryStrToInt(QString::fromLatin1(bad), value)) << bad;
        EXPECT_EQ(value, 123) << "left untouched on failure: " << bad;
    }
}

TEST(IntegerText, ConversionErrorNamesTheText)
{
    try {
        strToInt(QStringLiteral("pět"));
        FAIL() << "no error";
    } catch (const Error& e) {
        EXPECT_EQ(e.message(), QStringLiteral("'pět' is not a valid integer value"));
    }
}

TEST(ErrorBox, AppendsPeriodUnlessLastCharacterIsAtMostPeriod)
{
    EXPECT_EQ(errorBoxText(QStringLiteral("Cannot open file /a/b.jpg")), QStringLiteral("Cannot open file /a/b.jpg."));
    EXPECT_EQ(errorBoxText(QStringLiteral("Hotovo.")), QStringLiteral("Hotovo."));
    EXPECT_EQ(errorBoxText(QStringLiteral("Pozor!")), QStringLiteral("Pozor!"));
    EXPECT_EQ(errorBoxText(QStringLiteral("(0 x 0)")), QStringLiteral("(0 x 0)"));
    EXPECT_EQ(errorBoxText(QStringLiteral("konec ")), QStringLiteral("konec "));
    EXPECT_EQ(errorBoxText(QStringLiteral("a-")), QStringLiteral("a-"));           // "-" comes before "."
    EXPECT_EQ(errorBoxText(QStringLiteral("a/")), QStringLiteral("a/."));          // "/" comes after "."
    EXPECT_EQ(errorBoxText(QStringLiteral("žluťoučký kůň")), QStringLiteral("žluťoučký kůň."));
    EXPECT_EQ(errorBoxText(QString()), QString());
}

TEST(FolderListing, MatchesExtensionWithoutCaseIncludingHiddenAndFolders)
{
    TempFolder dir;
    for (const char* name : {"b.JPG", ".hidden.jpg", "a.jpg", "c.jpeg", "d.jpg.txt", "e.Jpg"})
        writeBytes(dir.file(QString::fromLatin1(name)), "x");
    dir.makeFolder(QStringLiteral("folder.jpg"));
    dir.makeFolder(QStringLiteral("other"));

    QStringList names;
    for (const auto& entry : listFolder(dir.path(), QStringLiteral(".jpg")))
        names << entry.name;
    EXPECT_EQ(names, (QStringList{".hidden.jpg", "a.jpg", "b.JPG", "e.Jpg", "folder.jpg"}));
}

TEST(FolderListing, SortsByUpperCaseNameSoUnderscoreFollowsLetters)
{
    // Code unit by code unit of the upper-case names, also beyond their first dozen units and
    // beyond ASCII; names alike in upper case in the order of their own units.
    TempFolder dir;
    const char* const names[]{"_x.jpg", "Zeta.jpg", "alfa.jpg", "tn_a.jpg", "TN_b.jpg",
                                 "Beta.jpg", "1.jpg", "IMG_20240101_2.jpg", "IMG_20240101_10.jpg",
                                 "IMG_20240101.jpg", "Čáp2.jpg", "čáp.jpg", "ALFA.jpg"};
    for (const char* name : names)
        writeBytes(dir.file(QString::fromUtf8(name)), "x");
    QStringList listed;
    for (const auto& entry : listFolder(dir.path(), QStringLiteral(".jpg")))
        listed << entry.name;
    EXPECT_EQ(listed, (QStringList{"1.jpg", "ALFA.jpg", "alfa.jpg", "Beta.jpg", "IMG_20240101.jpg",
                                   "IMG_20240101_10.jpg", "IMG_20240101_2.jpg", "tn_a.jpg", "TN_b.jpg",
                                   "Zeta.jpg", "_x.jpg", "čáp.jpg", "Čáp2.jpg"}));
}

TEST(FolderListing, UnlistableOrMissingFolderYieldsNothing)
{
    TempFolder dir;
    EXPECT_TRUE(listFolder(dir.file(QStringLiteral("gone")), QStringLiteral(".jpg")).isEmpty());
    writeBytes(dir.file(QStringLiteral("file.jpg")), "x");
    EXPECT_TRUE(listFolder(dir.file(QStringLiteral("file.jpg")), QStringLiteral(".jpg")).isEmpty());
}

TEST(FileExistence, RegularFilesOnlyWhateverTheirTime)
{
    TempFolder dir;
    const QString file = dir.file(QStringLiteral("info.txt"));
    writeBytes(file, "[head]\r\n");
    EXPECT_TRUE(fileExists(file));
    setModificationTime(file, QDateTime(QDate(1975, 3, 1), QTime(12, 0)));
    EXPECT_TRUE(fileExists(file)) << "a file from before 1980 still exists";
    setModificationTime(file, QDateTime(QDate(2150, 3, 1), QTime(12, 0)));
    EXPECT_TRUE(fileExists(file)) << "a file from after 2107 still exists";

    const QString folder = dir.makeFolder(QStringLiteral("sub.txt"));
    EXPECT_FALSE(fileExists(folder));
    EXPECT_TRUE(folderExists(folder));
    EXPECT_FALSE(folderExists(file));
    EXPECT_FALSE(fileExists(dir.file(QStringLiteral("missing"))));
    EXPECT_FALSE(fileExists(QString()));

    const QString link = dir.file(QStringLiteral("link.txt"));
    ASSERT_TRUE(QFile::link(file, link));
    EXPECT_TRUE(fileExists(link));
}

TEST(FileExistence, DeleteRemovesFileAndReportsFailure)
{
    TempFolder dir;
    const QString file = dir.file(QStringLiteral("~info.txt"));
    writeBytes(file, "x");
    EXPECT_TRUE(deleteFile(file));
    EXPECT_FALSE(fileExists(file));
    EXPECT_FALSE(deleteFile(file));
}

TEST(Paths, JoinAndFolderName)
{
    EXPECT_EQ(joinPath(QStringLiteral("/foto/Tatry"), QStringLiteral("info.txt")), QStringLiteral("/foto/Tatry/info.txt"));
    EXPECT_EQ(joinPath(QString(), QStringLiteral("info.txt")), QStringLiteral("/info.txt"));
    EXPECT_EQ(joinPath(QStringLiteral("/"), QStringLiteral("a.jpg")), QStringLiteral("/a.jpg"));
    EXPECT_EQ(folderName(QStringLiteral("/foto/Tatry 2004")), QStringLiteral("Tatry 2004"));
    EXPECT_EQ(folderName(QStringLiteral("/")), QString());
    EXPECT_EQ(folderName(QStringLiteral("Tatry")), QStringLiteral("Tatry"));
    EXPECT_TRUE(tempFolder().endsWith(u'/'));
    EXPECT_EQ(workingFolder(), QDir::currentPath());
}

TEST(ShortDate, DayMonthYearWithoutLeadingZeros)
{
    EXPECT_EQ(shortDate(QDateTime(QDate(2004, 1, 15), QTime(10, 0))), QStringLiteral("15.1.2004"));
    EXPECT_EQ(shortDate(QDateTime(QDate(2026, 12, 8), QTime(23, 59))), QStringLiteral("8.12.2026"));
    EXPECT_EQ(shortDate(QDateTime(QDate(1970, 1, 1), QTime(0, 0))), QStringLiteral("1.1.1970"));
    EXPECT_EQ(shortDate(QDateTime(QDate(2200, 7, 4), QTime(0, 0))), QStringLiteral("4.7.2200"));
}

TEST(FolderListing, ALinkThatLeadsNowhereIsDatedByTheLinkItself)
{
    TempFolder dir;
    const QByteArray broken = QFile::encodeName(dir.file(QStringLiteral("broken.jpg")));
    const QByteArray loop = QFile::encodeName(dir.file(QStringLiteral("loop.jpg")));
    ASSERT_EQ(::symlink("missing.jpg", broken.constData()), 0);
    ASSERT_EQ(::symlink("loop.jpg", loop.constData()), 0);
    const QDateTime when(QDate(2004, 1, 15), QTime(12, 0));
    const timespec times[2] = {{when.toSecsSinceEpoch(), 0}, {when.toSecsSinceEpoch(), 0}};
    for (const QByteArray& link : {broken, loop})
        ASSERT_EQ(::utimensat(AT_FDCWD, link.constData(), times, AT_SYMLINK_NOFOLLOW), 0);
    const auto entries = listFolder(dir.path(), QStringLiteral(".jpg"));
    ASSERT_EQ(entries.size(), 2);
    for (const FolderEntry& entry : entries)
        EXPECT_EQ(shortDate(entry.modified), QStringLiteral("15.1.2004")) << entry.name.toStdString();
}

TEST(ErrorText, AMessageKeepsEverythingANulFromAFileIsFollowedBy)
{
    try {
        strToInt(QStringLiteral("8") + QChar(0) + QStringLiteral("00"));
        FAIL() << "no error";
    } catch (const Error& e) {
        const std::exception& plain = e;
        EXPECT_EQ(messageOf(plain), QStringLiteral("'8") + QChar(0) + QStringLiteral("00' is not a valid integer value"));
    }
}

TEST(ReplaceFile, AWriterKilledAtAnyMomentLeavesTheOldOrTheNewFileWholeAndItsLeftoversGo)
{
    // A child replaces the file over and over with one of two contents and is killed at random
    // moments; each time the file must be one of them, whole. What the kills leave beside it
    // is removed by the next run's first replace, and nothing else is.
    TempFolder dir;
    const QString path = dir.file(QStringLiteral("info.txt"));
    const QByteArray first(300000, 'a');
    const QByteArray second = QByteArray(200000, 'b') + "\r\n";
    ASSERT_TRUE(replaceFile(dir.file(QStringLiteral("warm-up")), "x"));  // the parent's own first run is elsewhere
    writeBytes(path, first);
    for (int round = 0; round < 30; ++round) {
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            for (int i = 0;; ++i)
                replaceFile(path, i % 2 ? first : second);
        }
        ::usleep(useconds_t(500 + (round * 7919) % 20000));
        ::kill(child, SIGKILL);
        int status = 0;
        ASSERT_EQ(::waitpid(child, &status, 0), child);
        const QByteArray now = readBytes(path);
        ASSERT_TRUE(now == first || now == second) << "round " << round << ": " << now.size() << " bytes";
    }

    const QStringList others{QStringLiteral("info.txt.backup"), QStringLiteral("info.txt.bak"),
                             QStringLiteral("info.txt.AbCdEfG"), QStringLiteral("~info.txt.AbCdEf"),
                             QStringLiteral("info.txt.Ab-dEf")};
    for (const QString& name : others)
        writeBytes(dir.file(name), "someone else's");
    writeBytes(dir.file(QStringLiteral("info.txt.QmZxRt")), "left by an older version");
    ASSERT_TRUE(replaceFile(path, "[head]\r\n"));
    QStringList expected = others + QStringList{QStringLiteral("info.txt"), QStringLiteral("warm-up")};
    expected.sort();
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden, QDir::Name), expected);
    EXPECT_EQ(readBytes(path), QByteArray("[head]\r\n"));
}

TEST(ReplaceFile, LeftoversAnotherInstanceLeavesDuringTheRunGoAtTheNextSaveInTheirFolder)
{
    // This run has saved info.txt and its autosave file; then another instance, killed while it
    // saved them, leaves its new files beside them. The next save of either file in the folder
    // removes both, and nothing of anyone else's.
    TempFolder dir;
    ASSERT_TRUE(replaceFile(dir.file(QStringLiteral("info.txt")), "1"));
    ASSERT_TRUE(replaceFile(dir.file(QStringLiteral("~info.txt")), "1"));
    for (const char* name : {"info.txt.QmZxRt", "~info.txt.Ab3dEf", "info.txt.backup", "jine.txt.QmZxRt"})
        writeBytes(dir.file(QLatin1String(name)), "left");
    // The other instance changed the folder at a moment of its own (not within this run's last
    // tick of the clock, which a file system's times cannot tell apart).
    const timespec then[2] = {{1000000000, 0}, {1000000000, 0}};
    ASSERT_EQ(::utimensat(AT_FDCWD, QFile::encodeName(dir.path()).constData(), then, 0), 0);
    ASSERT_TRUE(replaceFile(dir.file(QStringLiteral("~info.txt")), "2"));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden, QDir::Name),
              (QStringList{"info.txt", "info.txt.backup", "jine.txt.QmZxRt", "~info.txt"}));
}

TEST(ReplaceFile, KeepsTheOldPermissionsAndFollowsALink)
{
    TempFolder dir;
    const QString target = dir.file(QStringLiteral("real.txt"));
    writeBytes(target, "old");
    ASSERT_TRUE(QFile::setPermissions(target, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup));
    ASSERT_TRUE(QFile::link(target, dir.file(QStringLiteral("info.txt"))));
    ASSERT_TRUE(replaceFile(dir.file(QStringLiteral("info.txt")), "new"));
    EXPECT_TRUE(QFileInfo(dir.file(QStringLiteral("info.txt"))).isSymLink());
    EXPECT_EQ(readBytes(target), QByteArray("new"));
    struct stat st {};
    ASSERT_EQ(::stat(QFile::encodeName(target).constData(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0640u);
    EXPECT_FALSE(replaceFile(dir.file(QStringLiteral("gone/info.txt")), "x"));
}

namespace {

// The real file calls, each written down, with faults put in where a test asks for them: a call
// that fails with an error once (EINTR, ENOSPC, EIO ...; an interrupted close has released its
// descriptor all the same, as Linux does), or a write that takes only half of what it is given.
class FaultyFileCalls : public FileCalls {
public:
    enum class Step { Create, Write, DataSync, Close, Rename, FolderOpen, FolderSync, Unlink };
    static constexpr int ShortWrite = 0;
    struct Fault {
        Step step;
        int error;  // or ShortWrite
    };

    explicit FaultyFileCalls(std::vector<Fault> faults = {}) : faults_(std::move(faults)) {}

    std::vector<std::string> log;
    int calls(const char* name) const { return int(std::count(log.begin(), log.end(), std::string(name))); }

    int open(const char* path, int flags, mode_t mode) override
    {
        const bool folder = flags & O_DIRECTORY;
        if (fails(folder ? Step::FolderOpen : Step::Create, folder ? "open folder" : "create"))
            return -1;
        const int fd = FileCalls::open(path, flags, mode);
        (folder ? folder_ : temporary_) = fd;
        if (!folder)
            temporaryPath_ = path;
        return fd;
    }
    ssize_t write(int fd, const void* data, size_t size) override
    {
        if (fails(Step::Write, fd == temporary_ ? "write" : "write elsewhere"))
            return -1;
        if (takeFault(Step::Write, ShortWrite))
            size = std::max<size_t>(1, size / 2);
        return FileCalls::write(fd, data, size);
    }
    int fdatasync(int fd) override
    {
        return fails(Step::DataSync, fd == temporary_ ? "fdatasync" : "fdatasync elsewhere") ? -1 : FileCalls::fdatasync(fd);
    }
    int fsync(int fd) override
    {
        return fails(Step::FolderSync, fd == folder_ ? "fsync folder" : "fsync elsewhere") ? -1 : FileCalls::fsync(fd);
    }
    int close(int fd) override
    {
        if (fd == folder_ || fd != temporary_) {
            log.push_back(fd == folder_ ? "close folder" : "close elsewhere");
            return FileCalls::close(fd);
        }
        const bool failed = fails(Step::Close, "close");
        const int error = errno;
        const int closed = FileCalls::close(fd);  // the descriptor goes whatever the error
        if (!failed)
            return closed;
        errno = error;
        return -1;
    }
    int rename(const char* from, const char* to) override
    {
        return fails(Step::Rename, from == temporaryPath_ ? "rename" : "rename elsewhere") ? -1 : FileCalls::rename(from, to);
    }
    int unlink(const char* path) override
    {
        return fails(Step::Unlink, "unlink") ? -1 : FileCalls::unlink(path);
    }

private:
    bool takeFault(Step step, int error)
    {
        const auto fault = std::find_if(faults_.begin(), faults_.end(),
                                        [&](const Fault& f) { return f.step == step && f.error == error; });
        if (fault == faults_.end())
            return false;
        faults_.erase(fault);
        return true;
    }
    // Writes the call down; true (errno set) when it is to fail.
    bool fails(Step step, const char* name)
    {
        log.push_back(name);
        const auto fault = std::find_if(faults_.begin(), faults_.end(),
                                        [&](const Fault& f) { return f.step == step && f.error != ShortWrite; });
        if (fault == faults_.end())
            return false;
        errno = fault->error;
        faults_.erase(fault);
        return true;
    }

    std::vector<Fault> faults_;
    int temporary_ = -1;
    int folder_ = -1;
    std::string temporaryPath_;
};

}  // namespace

// Each step of replacing a file failing or interrupted: an interrupted step is made again and
// the save succeeds, a short write is continued, any other failure leaves the old file whole,
// is reported and leaves no new file beside it (one that could not be removed goes at the next
// replacement). After the folder's sync failed the new file is in place and the save stands.
TEST(ReplaceFile, EveryFailingOrInterruptedStepLeavesTheOldOrTheNewFileWholeAndNothingBeside)
{
    using Step = FaultyFileCalls::Step;
    using Fault = FaultyFileCalls::Fault;
    struct Case {
        const char* what;
        std::vector<Fault> faults;
        const char* step;  // the call the first fault hits
        int calls;         // how often that call is made
        bool saved;
        int leftBeside = 0;
    };
    const Case cases[] = {
        {"interrupted create", {{Step::Create, EINTR}}, "create", 2, true},
        {"interrupted write", {{Step::Write, EINTR}}, "write", 2, true},
        {"short write", {{Step::Write, FaultyFileCalls::ShortWrite}}, "write", 2, true},
        {"interrupted data sync", {{Step::DataSync, EINTR}}, "fdatasync", 2, true},
        {"interrupted close, never closed again", {{Step::Close, EINTR}}, "close", 1, true},
        {"interrupted rename", {{Step::Rename, EINTR}}, "rename", 2, true},
        {"interrupted folder open", {{Step::FolderOpen, EINTR}}, "open folder", 2, true},
        {"interrupted folder sync", {{Step::FolderSync, EINTR}}, "fsync folder", 2, true},
        {"full disk at create", {{Step::Create, ENOSPC}}, "create", 1, false},
        {"full disk at write", {{Step::Write, ENOSPC}}, "write", 1, false},
        {"failing medium at create", {{Step::Create, EIO}}, "create", 1, false},
        {"failing medium at write", {{Step::Write, EIO}}, "write", 1, false},
        {"failing data sync", {{Step::DataSync, EIO}}, "fdatasync", 1, false},
        {"failing close", {{Step::Close, EIO}}, "close", 1, false},
        {"failing rename", {{Step::Rename, EIO}}, "rename", 1, false},
        {"failing rename, new file not removable", {{Step::Rename, EIO}, {Step::Unlink, EIO}}, "rename", 1, false, 1},
        {"failing folder open", {{Step::FolderOpen, EIO}}, "open folder", 1, true},
        {"failing folder sync", {{Step::FolderSync, EIO}}, "fsync folder", 1, true},
    };
    const QByteArray old = "[head]\r\nname=old\r\n";
    const QByteArray fresh = "[head]\r\nname=new\r\ndesc=" + QByteArray(3000, 'd') + "\r\n";
    const QByteArray later = "[head]\r\nname=later\r\n";
    for (const Case& c : cases) {
        TempFolder dir;
        const QString path = dir.file(QStringLiteral("info.txt"));
        writeBytes(path, old);
        FaultyFileCalls calls(c.faults);
        bool saved = false;
        {
            const ScopedFileCalls faulty(calls);
            saved = replaceFile(path, fresh);
        }
        EXPECT_EQ(saved, c.saved) << c.what;
        EXPECT_EQ(readBytes(path), c.saved ? fresh : old) << c.what;
        EXPECT_EQ(calls.calls(c.step), c.calls) << c.what;
        EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size(), 1 + c.leftBeside) << c.what;
        ASSERT_TRUE(replaceFile(path, later)) << c.what;
        EXPECT_EQ(readBytes(path), later) << c.what;
        EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{QStringLiteral("info.txt")}) << c.what;
    }
}

// The new file's data reaches the disk before it takes the old one's name, and the folder is
// synced after that, so that a power cut leaves the old file or the new one whole.
TEST(ReplaceFile, DataIsSyncedBeforeTheRenameAndTheFolderAfterIt)
{
    TempFolder dir;
    const QString path = dir.file(QStringLiteral("info.txt"));
    writeBytes(path, "old");
    FaultyFileCalls calls;
    {
        const ScopedFileCalls recorded(calls);
        FileReplacement replacement(path);
        ASSERT_TRUE(replacement.write("[head]\r\n") && replacement.write("name=new\r\n") && replacement.commit());
    }
    EXPECT_EQ(calls.log, (std::vector<std::string>{"create", "write", "write", "fdatasync", "close", "rename",
                                                   "open folder", "fsync folder", "close folder"}));
    EXPECT_EQ(readBytes(path), QByteArray("[head]\r\nname=new\r\n"));
}
