// tavorine-cli against the terminal tools of the field, as whole processes
// side by side in one run: factorisations of 128-bit and 60-digit products
// of two primes (GNU factor, PARI/GP), the n-th prime (primecount), twin
// primes (primesieve -c2) and the list into a pipe (primesieve --print),
// each with its peak memory.
#include <QCoreApplication>
#include <QFile>
#include <QList>
#include <QRandomGenerator>
#include <QStringList>
#include <QTemporaryFile>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

extern char **environ;

namespace {

struct Measure {
    double seconds = -1; // -1: did not run; past the cap when capped
    double mebibytes = 0;
    bool capped = false;
    QByteArray out;
};

// Runs the command with its standard output into a pipe (kept) or into
// /dev/null, waits at most capSeconds, and reads the time and the peak
// memory from wait4's resource usage.
Measure Run(const QStringList &command, bool keepOutput = true, double capSeconds = 600)
{
    Measure m;
    int fds[2] = {-1, -1};
    if (keepOutput && pipe(fds) != 0)
        return m;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    if (keepOutput)
        posix_spawn_file_actions_adddup2(&actions, fds[1], STDOUT_FILENO);
    else
        posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    QList<QByteArray> bytes;
    for (const QString &a : command)
        bytes << a.toLocal8Bit();
    QList<char *> argv;
    for (QByteArray &b : bytes)
        argv << b.data();
    argv << nullptr;
    const auto start = std::chrono::steady_clock::now();
    pid_t pid = 0;
    const int spawned = posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (keepOutput)
        close(fds[1]);
    if (spawned != 0)
        return m;
    if (keepOutput) {
        fcntl(fds[0], F_SETFL, O_NONBLOCK);
    }
    int status = 0;
    rusage usage = {};
    for (;;) {
        if (keepOutput) {
            char buffer[4096];
            ssize_t n;
            while ((n = read(fds[0], buffer, sizeof buffer)) > 0)
                m.out.append(buffer, n);
        }
        if (wait4(pid, &status, WNOHANG, &usage) == pid)
            break;
        const double elapsed = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        if (elapsed > capSeconds && !m.capped) {
            kill(pid, SIGKILL);
            m.capped = true;
        }
        usleep(1000);
    }
    if (keepOutput)
        close(fds[0]);
    m.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    m.mebibytes = double(usage.ru_maxrss) / 1024;
    m.out = m.out.trimmed();
    return m;
}

QString ProcessorName()
{
    QFile cpuinfo(QStringLiteral("/proc/cpuinfo"));
    if (cpuinfo.open(QIODevice::ReadOnly)) {
        for (const QByteArray &line : cpuinfo.readAll().split('\n')) {
            if (line.startsWith("model name"))
                return QString::fromUtf8(line.mid(line.indexOf(':') + 1).trimmed());
        }
    }
    return QStringLiteral("unknown processor");
}

double worstMemory = 0;
bool allMet = true;

void Report(const char *what, const Measure &ours, const Measure &peer, double limit, const char *peerName)
{
    const double ratio = ours.seconds / peer.seconds;
    worstMemory = std::max({worstMemory, ours.mebibytes});
    const bool met = limit <= 0 || ratio <= limit;
    allMet = allMet && met && ours.mebibytes <= 64;
    std::printf("%-44s %8.3f s %6.1f MiB | %-18s %s%8.3f s | ratio %s%.3f%s\n", what, ours.seconds, ours.mebibytes,
                peerName, peer.capped ? ">" : " ", peer.seconds, peer.capped ? "<" : " ", ratio,
                limit > 0 ? (met ? "  (limit met)" : "  (LIMIT MISSED)") : "");
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QString cli = QStringLiteral(TAVORINE_CLI);
    std::printf("Processor: %s\n\n", qPrintable(ProcessorName()));

    // Products of two random 64-bit primes, the primes from tavorine-cli
    // suivant at random points above 2^63 (a fixed seed: the same numbers
    // every run).
    QRandomGenerator random(20261210);
    __extension__ typedef unsigned __int128 Wide;
    QStringList products;
    for (int i = 0; i < 20; ++i) {
        const auto prime = [&] {
            const quint64 start = (quint64(1) << 63) | (random.generate64() >> 1);
            return Run({cli, "suivant", QString::number(start)}).out.toULongLong();
        };
        Wide product = Wide(prime()) * prime();
        QString digits;
        for (; product > 0; product /= 10)
            digits.prepend(QChar(char('0' + int(product % 10))));
        products << digits;
    }
    QList<double> times;
    Measure slowest;
    for (const QString &product : products) {
        const Measure m = Run({cli, "decomposer", product});
        times << m.seconds;
        if (m.mebibytes >= slowest.mebibytes)
            slowest.mebibytes = m.mebibytes;
    }
    std::sort(times.begin(), times.end());
    Measure median;
    median.seconds = (times[9] + times[10]) / 2;
    median.mebibytes = slowest.mebibytes;
    std::printf("decomposer: 20 products of two random 64-bit primes, median %.3f s (limit 0.1 s: %s), "
                "slowest %.3f s\n",
                median.seconds, median.seconds <= 0.1 ? "met" : "MISSED", times.last());
    allMet = allMet && median.seconds <= 0.1;
    // GNU factor needs minutes for one such number: it is stopped after 30 s.
    Report("decomposer, 128-bit product (median of 20)", median, Run({"factor", products[0]}, true, 30), 0,
           "GNU factor");
    const QString sixty = QStringLiteral("512384053360414023927813052312544681003691001266927549086093");
    const Measure big = Run({cli, "decomposer", sixty});
    // gp reads its script from a file; its default stack is too small here.
    QTemporaryFile script;
    if (!script.open())
        return 1;
    script.write("print(factor(" + sixty.toLatin1() + "));\nquit\n");
    script.flush();
    Report("decomposer, 60 digits (limit 5 s)", big, Run({"gp", "-q", "-f", "-s", "200000000", script.fileName()}),
           0, "PARI/GP factor");
    allMet = allMet && big.seconds <= 5;

    Report("nieme 1000000000000", Run({cli, "nieme", "1000000000000"}),
           Run({"primecount", "-n", "1e12"}), 1.5, "primecount -n");
    Report("compter 1 10000000000 --jumeaux", Run({cli, "compter", "1", "10000000000", "--jumeaux"}),
           Run({"primesieve", "1e10", "-c2", "-q"}), 1.2, "primesieve -c2");
    Report("lister 1 1000000000 --sortie - > /dev/null", Run({cli, "lister", "1", "1000000000", "--sortie", "-"}, false),
           Run({"primesieve", "1e9", "--print"}, false), 1.2, "primesieve --print");
    std::printf("\nPeak memory of tavorine-cli: %.1f MiB (limit 64 MiB)\n%s\n", worstMemory,
                allMet ? "Every goal met." : "Some goal MISSED.");
    return 0;
}
