// Saving the batch list to target.txt on the real file system.

#include "window/UserMessages.h"
#include "output/SaveList.h"
#include "platform/HostError.h"
#include "platform/posix/PosixSaveFolder.h"
#include "platform/posix/ProcessPrivacy.h"
#include "support/ScriptedHost.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace velkrin;

namespace {

QByteArray readAll(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        ADD_FAILURE() << "cannot read " << path.toStdString();
        return {};
    }
    return file.readAll();
}

void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    ASSERT_EQ(file.write(bytes), bytes.size());
}

mode_t modeOf(const QString &path)
{
    struct stat st {};
    if (::stat(QFile::encodeName(path).constData(), &st) != 0) {
        ADD_FAILURE() << "cannot stat " << path.toStdString();
        return 0;
    }
    return st.st_mode & 07777;
}

// Runs `f`, expecting HostError(File); returns its message.
template <class F>
QString expectFileError(F &&f)
{
    try {
        f();
    } catch (const HostError &e) {
        EXPECT_EQ(e.kind(), HostErrorKind::File);
        return QString::fromStdString(userMessage(e));
    }
    ADD_FAILURE() << "no HostError was raised";
    return {};
}

class SaveListTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        savedUmask = ::umask(022);
        // As the program does at start-up.
        surviveFileSizeLimit();
    }
    void TearDown() override { ::umask(savedUmask); }

    QString target() const { return dir.filePath(QStringLiteral("target.txt")); }
    // Everything in the folder, so stray temporary files show.
    QStringList folderContents() const
    {
        return QDir(dir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    }

    // Saves through the folder's handle, opened now, as the program does.
    void save(const QString &folder) const
    {
        PosixSaveFolder handle(FolderHandle(QFile::encodeName(folder).toStdString()));
        SaveList(list, handle);
    }

    QTemporaryDir dir;
    test::FakeListBox list;
    mode_t savedUmask = 022;
};

} // namespace

TEST_F(SaveListTest, WritesEachItemInOrderFollowedByCrLf)
{
    list.addItem("abc123");
    list.addItem("xyz789");
    list.addItem("qrs456");
    save(dir.path());
    const QByteArray first = readAll(target());
    EXPECT_EQ(first, QByteArray("abc123\r\nxyz789\r\nqrs456\r\n"));
    EXPECT_EQ(first.size(), 24);
    EXPECT_EQ(folderContents(), QStringList{QStringLiteral("target.txt")});

    // Saving again replaces rather than appends.
    save(dir.path());
    EXPECT_EQ(readAll(target()), first);
}

TEST_F(SaveListTest, EmptyListAndEmptyItems)
{
    // An empty list leaves an empty file, also over one that held text.
    save(dir.path());
    EXPECT_TRUE(QFileInfo::exists(target()));
    EXPECT_EQ(readAll(target()), QByteArray());

    writeFile(target(), "old1\r\nold2\r\n");
    save(dir.path());
    EXPECT_EQ(QFileInfo(target()).size(), 0);

    // An empty item is an empty line.
    list.addItem("");
    save(dir.path());
    EXPECT_EQ(readAll(target()), QByteArray("\r\n"));
    list.addItem("ab");
    list.addItem("");
    save(dir.path());
    EXPECT_EQ(readAll(target()), QByteArray("\r\nab\r\n\r\n"));
}

TEST_F(SaveListTest, SavesEveryItemOfALongList)
{
    // More items than a 16-bit count can hold.
    constexpr int kItems = 40000;
    QByteArray expected;
    for (int i = 0; i < kItems; ++i) {
        const QString item = QStringLiteral("p%1").arg(i, 5, 10, QLatin1Char('0'));
        list.addItem(item.toStdString());
        expected += item.toLatin1() + "\r\n";
    }
    save(dir.path());
    const QByteArray saved = readAll(target());
    EXPECT_EQ(saved.size(), 40000 * 8);
    EXPECT_TRUE(saved == expected) << "the saved file differs from the list";
    EXPECT_TRUE(saved.endsWith("p39999\r\n"));
}

TEST_F(SaveListTest, NewFileIsPrivateAndAnExistingFileKeepsItsMode)
{
    list.addItem("secret");
    save(dir.path());
    EXPECT_EQ(modeOf(target()), mode_t{0600}) << "umask 022 would otherwise give 0644";

    // Saving over it again keeps it private.
    save(dir.path());
    EXPECT_EQ(modeOf(target()), mode_t{0600});

    // A file the user made readable keeps that.
    ASSERT_EQ(::chmod(QFile::encodeName(target()).constData(), 0644), 0);
    save(dir.path());
    EXPECT_EQ(modeOf(target()), mode_t{0644});
    for (const mode_t mode : {0640, 0444, 0060}) {
        ASSERT_EQ(::chmod(QFile::encodeName(target()).constData(), mode), 0);
        if (::access(QFile::encodeName(target()).constData(), W_OK) == 0) // as root, or a writable mode
            save(dir.path());
        EXPECT_EQ(modeOf(target()), mode);
    }
    EXPECT_EQ(readAll(target()), QByteArray("secret\r\n"));
}

// Root saving in a folder another user (nobody) writes: that user's link is
// not followed, and their file is not reused.
TEST_F(SaveListTest, AnotherUsersLinkIsRefusedAndTheirFileIsNotReused)
{
    if (::geteuid() != 0)
        GTEST_SKIP() << "needs root to plant another user's files";
    const QString shared = dir.filePath(QStringLiteral("shared")), shadow = dir.filePath(QStringLiteral("shadow"));
    const QByteArray folder = QFile::encodeName(shared), link = folder + "/target.txt";
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("shared")));
    list.addItem("secret");
    for (const mode_t folderMode : {0755, 01777}) { // nobody's; root's sticky world-writable
        writeFile(shadow, "root only");
        ASSERT_EQ(::chmod(QFile::encodeName(shadow).constData(), 0640), 0);
        ASSERT_EQ(::chmod(folder.constData(), folderMode), 0);
        ASSERT_EQ(::chown(folder.constData(), folderMode == 0755 ? 65534 : 0, 0), 0);
        ASSERT_EQ(::symlink(QFile::encodeName(shadow).constData(), link.constData()), 0);
        ASSERT_EQ(::lchown(link.constData(), 65534, 65534), 0);
        const QString message = expectFileError([&] { save(shared); });
        EXPECT_TRUE(message.contains(QStringLiteral("symbolic link that belongs to nobody"))) << message.toStdString();
        EXPECT_EQ(readAll(shadow), QByteArray("root only"));
        // The saver's own link there is followed; the file keeps its mode.
        ASSERT_EQ(::lchown(link.constData(), 0, 0), 0);
        save(shared);
        EXPECT_EQ(readAll(shadow), QByteArray("secret\r\n"));
        EXPECT_EQ(modeOf(shadow), mode_t{0640});
        ASSERT_EQ(::unlink(link.constData()), 0);
    }
    // An empty 0644 file of nobody's becomes root's own, private.
    writeFile(QFile::decodeName(link), "");
    ASSERT_TRUE(::chmod(link.constData(), 0644) == 0 && ::chown(link.constData(), 65534, 65534) == 0);
    save(shared);
    struct stat st {};
    ASSERT_EQ(::stat(link.constData(), &st), 0);
    EXPECT_TRUE(st.st_uid == 0 && (st.st_mode & 07777) == 0600) << st.st_uid << " " << std::oct << st.st_mode;
    EXPECT_EQ(readAll(QFile::decodeName(link)), QByteArray("secret\r\n"));
}

TEST_F(SaveListTest, AFolderNamedTargetTxtIsAFileErrorAndStaysAsItWas)
{
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("target.txt")));
    writeFile(target() + QStringLiteral("/inside.txt"), "keep me");
    list.addItem("abc123");

    const QString message = expectFileError([&] { save(dir.path()); });
    EXPECT_TRUE(message.contains(target())) << message.toStdString();

    EXPECT_TRUE(QFileInfo(target()).isDir());
    EXPECT_EQ(QDir(target()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
              QStringList{QStringLiteral("inside.txt")});
    EXPECT_EQ(readAll(target() + QStringLiteral("/inside.txt")), QByteArray("keep me"));
    EXPECT_EQ(folderContents(), QStringList{QStringLiteral("target.txt")});
}

TEST_F(SaveListTest, AMissingFolderIsAFileErrorNamingThePath)
{
    const QString missing = dir.filePath(QStringLiteral("no-such-folder"));
    list.addItem("abc123");
    const QString message = expectFileError([&] { save(missing); });
    EXPECT_TRUE(message.contains(missing + QStringLiteral("/target.txt"))) << message.toStdString();
    EXPECT_FALSE(QFileInfo::exists(missing));
    EXPECT_TRUE(folderContents().isEmpty());
}

TEST_F(SaveListTest, AFailedWriteLeavesThePreviousFileIntact)
{
    // Running as root defeats permission bits, but not the file-size limit:
    // with it set below the list's size the write fails as on a full disk.
    // The program's start-up keeps SIGXFSZ from ending it.
    const QByteArray previous = "old111\r\nold222\r\n";
    writeFile(target(), previous);
    ASSERT_EQ(::chmod(QFile::encodeName(target()).constData(), 0644), 0);
    for (int i = 0; i < 40000; ++i)
        list.addItem("abcdef");

    struct rlimit saved {};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &saved), 0);
    struct rlimit small = saved;
    small.rlim_cur = 4096;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
    QString message;
    try {
        save(dir.path());
    } catch (const HostError &e) {
        message = QString::fromStdString(userMessage(e));
        EXPECT_EQ(e.kind(), HostErrorKind::File);
    }
    ::setrlimit(RLIMIT_FSIZE, &saved);

    ASSERT_FALSE(message.isEmpty()) << "the save did not fail";
    // SIGXFSZ did not end the process, and the system's reason is named.
    EXPECT_TRUE(message.contains(target()) && message.contains(QStringLiteral("File too large")))
        << message.toStdString();
    EXPECT_EQ(readAll(target()), previous);
    EXPECT_EQ(modeOf(target()), mode_t{0644});
    // No half-written copy of the passwords is left behind.
    EXPECT_EQ(folderContents(), QStringList{QStringLiteral("target.txt")});

    // With the limit lifted the same list saves in full.
    save(dir.path());
    EXPECT_EQ(QFileInfo(target()).size(), 40000 * 8);
}
