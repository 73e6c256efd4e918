#include "sim/PtyServer.h"

#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QSocketNotifier>
#include <QTimer>

#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <map>
#include <utility>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

namespace vx::sim {

// Answers waiting for their time, and the characters on their way out.
struct PtyServer::Pending {
    QElapsedTimer clock;                   // started with the server
    std::multimap<double, QByteArray> due;  // answers by the second they start
    QByteArray out;                        // characters ready to go, in order
    double nextCharAt = 0;                 // when the next paced character may go
    QTimer timer;                          // wakes sendNext
    QTimer resume;                         // re-enables reading after an error

    double now() const { return clock.nsecsElapsed() / 1e9; }
};

namespace {

QString errnoText(const char *what)
{
    return QStringLiteral("%1: %2").arg(QString::fromLatin1(what), QString::fromLocal8Bit(std::strerror(errno)));
}

bool setError(QString *error, const QString &text)
{
    if (error)
        *error = text;
    return false;
}

// Points linkPath at target, replacing an earlier symlink (a stale one of a
// killed run) but never a real file.
bool makeLink(const QString &linkPath, const QString &target, QString *error)
{
    const QByteArray link = QFile::encodeName(linkPath);
    struct stat st {};
    if (::lstat(link.constData(), &st) == 0 && !S_ISLNK(st.st_mode))
        return setError(error, QStringLiteral("%1 exists and is not a symbolic link").arg(linkPath));
    const QByteArray temp = link + ".tmp" + QByteArray::number(qint64(::getpid()));
    ::unlink(temp.constData());
    if (::symlink(QFile::encodeName(target).constData(), temp.constData()) != 0)
        return setError(error, errnoText("symlink") + QStringLiteral(" (%1)").arg(linkPath));
    if (::rename(temp.constData(), link.constData()) != 0) {
        const QString why = errnoText("rename") + QStringLiteral(" (%1)").arg(linkPath);
        ::unlink(temp.constData());
        return setError(error, why);
    }
    return true;
}

}  // namespace

PtyServer::PtyServer(VirtualIndicator &device, Timing timing, QObject *parent)
    : PtyServer(std::vector<VirtualIndicator *>{&device}, timing, parent)
{
}

PtyServer::PtyServer(std::vector<VirtualIndicator *> devices, Timing timing, QObject *parent)
    : QObject(parent)
    , m_devices(std::move(devices))
    , m_timing(timing)
    , m_pending(std::make_unique<Pending>())
{
    m_pending->timer.setSingleShot(true);
    m_pending->timer.setTimerType(Qt::PreciseTimer);
    connect(&m_pending->timer, &QTimer::timeout, this, [this] { sendNext(); });
    m_pending->resume.setSingleShot(true);
    connect(&m_pending->resume, &QTimer::timeout, this, [this] {
        if (m_notifier)
            m_notifier->setEnabled(true);
    });
}

PtyServer::~PtyServer()
{
    stop();
}

bool PtyServer::start(const QString &linkPath, QString *error)
{
    if (m_master >= 0)
        return setError(error, QStringLiteral("the pseudo-terminal is already open"));

    const int master = ::posix_openpt(O_RDWR | O_NOCTTY);
    if (master < 0)
        return setError(error, errnoText("posix_openpt"));
    char name[256] = {};
    if (::grantpt(master) != 0 || ::unlockpt(master) != 0 || ::ptsname_r(master, name, sizeof name) != 0) {
        const QString why = errnoText("grantpt/unlockpt/ptsname");
        ::close(master);
        return setError(error, why);
    }
    // The server keeps the slave side open itself: without that, a client closing
    // the port leaves the master with EIO until someone opens it again.
    const int slave = ::open(name, O_RDWR | O_NOCTTY);
    if (slave < 0) {
        const QString why = errnoText("open slave");
        ::close(master);
        return setError(error, why);
    }
    termios tio {};
    if (::tcgetattr(slave, &tio) == 0) {
        ::cfmakeraw(&tio);
        ::cfsetispeed(&tio, B9600);
        ::cfsetospeed(&tio, B9600);
        ::tcsetattr(slave, TCSANOW, &tio);
    }
    const int flags = ::fcntl(master, F_GETFL);
    ::fcntl(master, F_SETFL, flags | O_NONBLOCK);
    ::fcntl(master, F_SETFD, FD_CLOEXEC);
    ::fcntl(slave, F_SETFD, FD_CLOEXEC);

    const QString slavePath = QString::fromLocal8Bit(name);
    if (!linkPath.isEmpty() && !makeLink(linkPath, slavePath, error)) {
        ::close(slave);
        ::close(master);
        return false;
    }

    m_master = master;
    m_slaveKeep = slave;
    m_slavePath = slavePath;
    m_linkPath = linkPath;
    m_request.clear();
    m_pending->due.clear();
    m_pending->out.clear();
    m_pending->clock.start();
    m_pending->nextCharAt = 0;
    m_notifier = std::make_unique<QSocketNotifier>(m_master, QSocketNotifier::Read);
    connect(m_notifier.get(), &QSocketNotifier::activated, this, [this] { onReadable(); });
    return true;
}

void PtyServer::stop()
{
    if (m_master < 0)
        return;
    m_notifier.reset();
    m_pending->timer.stop();
    m_pending->resume.stop();
    m_pending->due.clear();
    m_pending->out.clear();
    if (!m_linkPath.isEmpty()) {
        // Only our own link goes: another server may have taken the name over.
        const QByteArray link = QFile::encodeName(m_linkPath);
        char target[512] = {};
        const ssize_t n = ::readlink(link.constData(), target, sizeof target - 1);
        if (n > 0 && QString::fromLocal8Bit(target, int(n)) == m_slavePath)
            ::unlink(link.constData());
    }
    ::close(m_slaveKeep);
    ::close(m_master);
    m_slaveKeep = -1;
    m_master = -1;
}

void PtyServer::onReadable()
{
    if (m_master < 0)
        return;
    char buf[4096];
    for (;;) {
        const ssize_t n = ::read(m_master, buf, sizeof buf);
        if (n > 0) {
            m_request.append(buf, int(n));
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0 && errno != EAGAIN && errno != EWOULDBLOCK) {
            // EIO (no slave open) or worse: pause instead of spinning on a
            // notifier that keeps firing.
            m_notifier->setEnabled(false);
            m_pending->resume.start(50);
        }
        break;
    }

    for (int cr = m_request.indexOf('\r'); cr >= 0; cr = m_request.indexOf('\r')) {
        const QByteArray request = m_request.left(cr);
        m_request.remove(0, cr + 1);
        std::optional<VirtualIndicator::Reply> reply;
        if (!m_timing.baudStrict || clientBaud() == m_timing.baud) {
            for (VirtualIndicator *device : m_devices) {
                const std::optional<VirtualIndicator::Reply> one = device->handle(request);
                if (!one || one->bytes.isEmpty())
                    continue;
                if (!reply)
                    reply = one;
                else
                    reply->bytes += one->bytes;  // two on one address talk over each other
            }
        }
        if (m_exchangeLog)
            m_exchangeLog(request, reply ? reply->bytes : QByteArray());
        // A pty delivers the request at once; on a real line it takes 10 bits a
        // character to arrive, so that time goes before the reply latency.
        const double requestTime = m_timing.baud > 0 ? (request.size() + 1) * 10.0 / m_timing.baud : 0.0;
        if (reply && !reply->bytes.isEmpty())
            queueReply(reply->bytes, requestTime + m_timing.latency + reply->extraDelay);
    }
    // A request never ends without a CR; a runaway stream of noise is dropped.
    if (m_request.size() > 65536)
        m_request.clear();
}

int PtyServer::clientBaud() const
{
    // The master reads the settings the slave side (the client's port) was given.
    termios tio {};
    if (m_master < 0 || ::tcgetattr(m_master, &tio) != 0)
        return 0;
    static const std::pair<speed_t, int> speeds[] = {
        {B300, 300},     {B600, 600},     {B1200, 1200},   {B2400, 2400},     {B4800, 4800},
        {B9600, 9600},   {B19200, 19200}, {B38400, 38400}, {B57600, 57600}, {B115200, 115200},
        {B230400, 230400},
    };
    const speed_t speed = ::cfgetospeed(&tio);
    for (const auto &[code, baud] : speeds) {
        if (code == speed)
            return baud;
    }
    return 0;
}

void PtyServer::queueReply(const QByteArray &bytes, double delaySeconds)
{
    m_pending->due.emplace(m_pending->now() + qMax(0.0, delaySeconds), bytes);
    sendNext();
}

void PtyServer::sendNext()
{
    if (m_master < 0)
        return;
    Pending &p = *m_pending;
    const double now = p.now();
    while (!p.due.empty() && p.due.begin()->first <= now) {
        if (p.out.isEmpty())
            p.nextCharAt = qMax(p.nextCharAt, p.due.begin()->first);
        p.out.append(p.due.begin()->second);
        p.due.erase(p.due.begin());
    }

    const double perChar = m_timing.baud > 0 ? 10.0 / m_timing.baud : 0.0;
    bool blocked = false;
    if (!p.out.isEmpty() && now >= p.nextCharAt) {
        qsizetype allowed = p.out.size();
        if (perChar > 0)
            allowed = qMin(allowed, qsizetype(std::floor((now - p.nextCharAt) / perChar)) + 1);
        const ssize_t n = ::write(m_master, p.out.constData(), size_t(allowed));
        if (n > 0) {
            p.out.remove(0, n);
            p.nextCharAt += n * perChar;
        } else if (n < 0 && errno != EAGAIN && errno != EWOULDBLOCK && errno != EINTR) {
            p.out.clear();  // the terminal is gone; the answer is lost as on a cut line
        } else {
            blocked = true;  // nobody reads: try again shortly
        }
    }

    double wake = -1;
    if (!p.out.isEmpty())
        wake = blocked ? now + 0.01 : qMax(now, p.nextCharAt);
    if (!p.due.empty() && (wake < 0 || p.due.begin()->first < wake))
        wake = p.due.begin()->first;
    if (wake >= 0)
        p.timer.start(int(std::ceil(qMax(0.0, wake - now) * 1000.0)));
}

}  // namespace vx::sim
