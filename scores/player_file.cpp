// SPDX-FileCopyrightText: 2026 The Trazzo developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "player_file.h"

#include <QFile>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace trazzo {

PlayerFile readPlayerFile(const QString &path, qint64 cap) { return readPlayerFile(QFile::encodeName(path), cap); }

PlayerFile readPlayerFile(const QByteArray &nativePath, qint64 cap)
{
    PlayerFile result;
    // O_NONBLOCK: opening a pipe with no writer would otherwise wait for ever.
    const int fd = ::open(nativePath.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) {
        result.error = errno;
        result.kind = errno == ENOENT || errno == ENOTDIR ? PlayerFile::Kind::Missing : PlayerFile::Kind::Failed;
        return result;
    }
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        result.kind = PlayerFile::Kind::NotRegular;
        ::close(fd);
        return result;
    }
    // One byte past the cap tells a file that goes on.
    result.bytes.resize(cap + 1);
    qint64 got = 0;
    while (got < cap + 1) {
        const ssize_t n = ::read(fd, result.bytes.data() + got, static_cast<size_t>(cap + 1 - got));
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0) {
            result.error = errno;
            result.kind = PlayerFile::Kind::Failed;
            result.bytes.clear();
            ::close(fd);
            return result;
        }
        if (n == 0)
            break;
        got += n;
    }
    ::close(fd);
    result.goesOn = got > cap;
    result.bytes.truncate(qMin(got, cap));
    result.kind = PlayerFile::Kind::Read;
    return result;
}

} // namespace trazzo
