// What the pronunciation lexicon costs:
//
//   build/bin/lexicon_bench
//
// - quillsong-cli reading /usr/share/common-licenses/GPL-3 into a WAV file with the default
//   eSpeak NG voice, with a lexicon of 200 entries (words of the licence among them, some in
//   phonemes) against an empty lexicon file; runs alternate, and the means and their ratio are
//   printed at the end. Goal: under 5 % more time with the lexicon.
// - The same with a lexicon of 200,000 entries that all begin with "the", a word said about
//   once in every twenty of the licence. Goal: under 1.3 times the time without a lexicon: the
//   cost of a word does not grow with the entries that begin with it.
// - LexiconMatcher building its index of 200 entries, and rewriting the licence's text without
//   entries, with 200, and with the 200,000 that begin with "the".
#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <numeric>
#include <vector>

#include "platform/speechapi/lexiconmatcher.h"
#include "speech/lexiconfile.h"

namespace {

const QString kText = QStringLiteral("/usr/share/common-licenses/GPL-3");
const QString kVoice = QStringLiteral("eSpeak English (America)");
constexpr int kLexiconSize = 200;
constexpr int kSharedSize = 200000;

QTemporaryDir* workDir = nullptr;

struct Word {
    const char* written;
    const char* spoken;
    bool phonemes;
};

// Entries for words of the licence: respellings said in about the time of the word.
const Word kLicenceWords[] = {
    {"GPL", "gee pee ell", false},
    {"GNU", "gn'u:", true},
    {"software", "soft wair", false},
    {"license", "lie sense", false},
    {"copyright", "copy rite", false},
    {"patent", "pat ent", false},
    {"convey", "con vay", false},
    {"conveying", "con vaying", false},
    {"Affero", "a'fe@roU", true},
    {"copyleft", "k'0pIlEft", true},
    {"licensee", "lie sen see", false},
    {"licensees", "lie sen sees", false},
    {"warranty", "worranty", false},
    {"liability", "lie a bility", false},
    {"infringement", "in fringe ment", false},
    {"Corresponding Source", "matching source", false},
    {"modify", "mod if eye", false},
    {"recipients", "re sip ients", false},
    {"recipient", "re sip ient", false},
    {"trademark", "trade mark", false},
    {"propagate", "prop a gate", false},
    {"propagation", "prop a gation", false},
    {"royalty", "roy al tee", false},
    {"ROM", "rom", false},
    {"https", "H T T P S", false},
    {"www", "dub dub dub", false},
    {"Inc", "incorporated", false},
    {"MERCHANTABILITY", "merchantability", false},
    {"aggregate", "ag re gate", false},
    {"Appropriate Legal Notices", "legal notices", false},
    {"interfaces", "inter faces", false},
    {"Installation Information", "install info", false},
    {"indemnification", "in dem nif ication", false},
    {"Lesser", "lesser", false},
    {"Free Software Foundation", "F S F", false},
    {"i.e.", "that is", false},
    {"sublicensing", "sub licensing", false},
    {"object code", "binary code", false},
    {"fsf.org", "F S F dot org", false},
    {"General Public License", "G P L", false},
};

// Entries a user might keep besides: names, places, technical words.
const Word kOtherWords[] = {
    {"Nguyen", "w'In", true},
    {"Siobhan", "S@v'A:n", true},
    {"Saoirse", "s'3:S@", true},
    {"Niamh", "n'i:v", true},
    {"Aoife", "'i:f@", true},
    {"Caoimhe", "k'i:v@", true},
    {"Joaquin", "wA:k'i:n", true},
    {"Kubernetes", "ku:b3n'Eti:z", true},
    {"nginx", "'EndZInEks", true},
    {"Huawei", "w'A:weI", true},
    {"Porsche", "p'o@S@", true},
    {"Hermione", "h3m'aI@ni", true},
    {"Tadhg", "tige", false},
    {"Eoin", "owen", false},
    {"Oisin", "uh sheen", false},
    {"Grainne", "grawn ya", false},
    {"Ailbhe", "al va", false},
    {"Roisin", "ro sheen", false},
    {"Meabh", "mayv", false},
    {"Ciaran", "keer an", false},
    {"Padraig", "paw rig", false},
    {"Eilidh", "ay lee", false},
    {"Ruaridh", "roo ree", false},
    {"Mhairi", "vah ree", false},
    {"Worcester", "wooster", false},
    {"Leicester", "lester", false},
    {"Gloucester", "gloster", false},
    {"Edinburgh", "edin burra", false},
    {"Loughborough", "luff bruh", false},
    {"Marylebone", "marly bone", false},
    {"Greenwich", "grennitch", false},
    {"Thames", "temz", false},
    {"Cholmondeley", "chumly", false},
    {"Featherstonehaugh", "fanshaw", false},
    {"Magdalen", "maudlin", false},
    {"Beaulieu", "bew lee", false},
    {"Keswick", "kezzick", false},
    {"Bicester", "bister", false},
    {"Towcester", "toaster", false},
    {"Alnwick", "annick", false},
    {"Slough", "slau", false},
    {"Mousehole", "mowzel", false},
    {"Happisburgh", "haze bruh", false},
    {"Frome", "froom", false},
    {"Wymondham", "windum", false},
    {"Woolfardisworthy", "woolsery", false},
    {"Goethe", "gurta", false},
    {"Nietzsche", "neecha", false},
    {"Dvorak", "dvor zhahk", false},
    {"Chopin", "show pan", false},
    {"Debussy", "deb yoo see", false},
    {"Tchaikovsky", "chai koff ski", false},
    {"Rachmaninoff", "rock man in off", false},
    {"Shostakovich", "shosta ko vitch", false},
    {"Janacek", "yanna check", false},
    {"Sibelius", "sib ay lius", false},
    {"Grieg", "greeg", false},
    {"Berlioz", "bear lee ohz", false},
    {"Saint-Saens", "san sahns", false},
    {"Bartok", "bar tock", false},
    {"SQL", "sequel", false},
    {"GUI", "gooey", false},
    {"JSON", "jason", false},
    {"YAML", "yamel", false},
    {"SCSI", "scuzzy", false},
    {"GIF", "jif", false},
    {"PNG", "ping", false},
    {"LaTeX", "lah tech", false},
    {"Linux", "lin ucks", false},
    {"Ubuntu", "oo boon too", false},
    {"Debian", "deb ee an", false},
    {"Qt", "kj'u:t", true},
    {"KDE", "K D E", false},
    {"GNOME", "guh nome", false},
    {"sudo", "sue doo", false},
    {"WYSIWYG", "wizzy wig", false},
    {"ASCII", "ask ee", false},
    {"CAPTCHA", "cap cha", false},
    {"PostgreSQL", "post gres Q L", false},
    {"MySQL", "my S Q L", false},
    {"SQLite", "S Q lite", false},
    {"Redis", "red iss", false},
    {"Django", "jango", false},
    {"PyPI", "pie P I", false},
    {"NumPy", "num pie", false},
    {"SciPy", "sigh pie", false},
    {"Jupyter", "jupiter", false},
    {"GitHub", "git hub", false},
    {"GitLab", "git lab", false},
    {"macOS", "mac O S", false},
    {"iOS", "eye O S", false},
    {"Wi-Fi", "why fye", false},
    {"IEEE", "I triple E", false},
    {"SATA", "sah tah", false},
    {"NVMe", "N V M E", false},
    {"UEFI", "U E F I", false},
    {"BIOS", "bye oss", false},
    {"Xiaomi", "shau mee", false},
    {"Hyundai", "hun day", false},
    {"IKEA", "eye kee ah", false},
    {"Nike", "nye key", false},
    {"Adidas", "ah dee das", false},
    {"Peugeot", "per zho", false},
    {"Renault", "ren oh", false},
    {"Moet", "mo wet", false},
    {"Hermes", "air mez", false},
    {"Givenchy", "zhee von shee", false},
    {"Versace", "ver sah chee", false},
    {"Ghirardelli", "gear ar delly", false},
    {"Nestle", "ness lay", false},
    {"Volkswagen", "folks vagen", false},
    {"Lamborghini", "lambor ghee nee", false},
    {"quinoa", "keen wah", false},
    {"gnocchi", "nyoh key", false},
    {"bruschetta", "broo sketta", false},
    {"espresso", "ess presso", false},
    {"pho", "fuh", false},
    {"acai", "ah sigh ee", false},
    {"chipotle", "chi poat lay", false},
    {"sriracha", "see rah cha", false},
    {"worcestershire", "wooster sheer", false},
    {"bouillabaisse", "boo ya bess", false},
    {"e.g.", "for example", false},
    {"etc.", "et cetera", false},
    {"vs.", "versus", false},
    {"approx.", "approximately", false},
    {"C++", "C plus plus", false},
    {".NET", "dot net", false},
    {"C#", "C sharp", false},
    {"F#", "F sharp", false},
    {"NASA", "nassa", false},
    {"NATO", "nay toe", false},
    {"UNESCO", "you ness co", false},
    {"FIFA", "fee fa", false},
    {"AI", "A I", false},
    {"ML", "M L", false},
    {"API", "A P I", false},
    {"URL", "U R L", false},
    {"CLI", "C L I", false},
    {"IDE", "I D E", false},
    {"OAuth", "oh auth", false},
    {"WebAssembly", "web assembly", false},
    {"TypeScript", "type script", false},
    {"JavaScript", "java script", false},
    {"Rust", "rust", false},
    {"Haskell", "has kell", false},
    {"OCaml", "oh camel", false},
    {"Erlang", "er lang", false},
    {"Elixir", "ee lick sir", false},
    {"Kotlin", "cot lin", false},
    {"Raspberry Pi", "raspberry pie", false},
    {"Arduino", "ar dwee no", false},
    {"Bluetooth", "blue tooth", false},
    {"Zigbee", "zig bee", false},
    {"LoRaWAN", "lora wan", false},
    {"Kafka", "caf ka", false},
    {"Hadoop", "ha doop", false},
    {"Cassandra", "ca sandra", false},
    {"Elasticsearch", "elastic search", false},
    {"Grafana", "gra fah na", false},
    {"Prometheus", "pro mee thee us", false},
    {"Ansible", "an sible", false},
    {"Terraform", "terra form", false},
    {"Vagrant", "vay grant", false},
    {"Nagios", "nah gee ose", false},
    {"Zabbix", "zab ix", false},
    {"Mercurial", "mer cure ial", false},
    {"Subversion", "sub version", false},
    {"Bazaar", "ba zaar", false},
    {"Fossil", "fos sil", false},
    {"pytest", "pie test", false},
    {"Gradle", "gray dle", false},
    {"Maven", "may ven", false},
    {"CMake", "C make", false},
    {"Ninja", "nin ja", false},
    {"Meson", "mee son", false},
};

LexiconEntries Lexicon() {
    LexiconEntries entries;
    const auto add = [&entries](const Word& word) {
        LexiconEntry entry;
        entry.written = QString::fromUtf8(word.written);
        entry.spoken = QString::fromUtf8(word.spoken);
        entry.phonemes = word.phonemes;
        entries << entry;
    };
    for (const Word& word : kLicenceWords) {
        add(word);
    }
    for (const Word& word : kOtherWords) {
        if (entries.size() == kLexiconSize) {
            break;
        }
        add(word);
    }
    return entries;
}

// Entries "the zxa" to "the zx…" in letters: none of them is in the licence, so every "the" of
// it is checked against them all and none replaces it.
LexiconEntries SharedFirstWord() {
    constexpr int kLetters = 26;
    LexiconEntries entries;
    entries.reserve(kSharedSize);
    for (int i = 0; i < kSharedSize; ++i) {
        QString word = QStringLiteral("zx");
        for (int n = i; n > 0 || word.size() == 2; n /= kLetters) {
            word += QLatin1Char(char('a' + n % kLetters));
        }
        LexiconEntry entry;
        entry.written = QStringLiteral("the ") + word;
        entry.spoken = QStringLiteral("the word ") + QString::number(i);
        entries << entry;
    }
    return entries;
}

QString Licence() {
    QFile file(kText);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

bool WriteLexicon(const QString& path, const LexiconEntries& entries) {
    QString error;
    if (!LexiconFile::save(path, {entries, {}}, &error)) {
        std::fprintf(stderr, "%s\n", qPrintable(error));
        return false;
    }
    return true;
}

// Processor time (user and system) of the child processes that have ended, in seconds.
double ChildrenCpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_CHILDREN, &usage);
    const auto seconds = [](const timeval& t) {
        return double(t.tv_sec) + double(t.tv_usec) / 1e6;
    };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

// One whole run of the converter; its time in seconds (and the processor time it took), or a
// negative number when it failed.
double Convert(const QString& lexicon, qint64* waveBytes, double* cpuSeconds) {
    const QString out = workDir->filePath(QStringLiteral("out"));
    QDir(out).removeRecursively();
    QDir().mkpath(out);
    QProcess cli;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("XDG_CONFIG_HOME"),
                       workDir->filePath(QStringLiteral("config")));
    environment.insert(QStringLiteral("XDG_DATA_HOME"), workDir->filePath(QStringLiteral("data")));
    cli.setProcessEnvironment(environment);
    cli.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    const double cpuBefore = ChildrenCpuSeconds();
    QElapsedTimer timer;
    timer.start();
    cli.start(QStringLiteral(QUILL_BIN_DIR "/quillsong-cli"),
              {QStringLiteral("--voice"), kVoice, QStringLiteral("--format"), QStringLiteral("wav"),
               QStringLiteral("--out"), out, QStringLiteral("--lexicon"), lexicon, kText});
    if (!cli.waitForFinished(-1) || cli.exitStatus() != QProcess::NormalExit ||
        cli.exitCode() != 0) {
        return -1;
    }
    const double seconds = double(timer.nsecsElapsed()) / 1e9;
    *cpuSeconds = ChildrenCpuSeconds() - cpuBefore;
    const QStringList written = QDir(out).entryList(QDir::Files);
    *waveBytes = written.isEmpty() ? 0 : QFileInfo(QDir(out).filePath(written.first())).size();
    return seconds;
}

struct Runs {
    std::vector<double> empty, lexicon;        // elapsed
    std::vector<double> emptyCpu, lexiconCpu;  // processor time
    qint64 emptyWave = 0, lexiconWave = 0;
};
Runs runs;        // 200 entries
Runs sharedRuns;  // 200,000 entries beginning with "the"

double Mean(const std::vector<double>& values) {
    return values.empty()
               ? 0
               : std::accumulate(values.begin(), values.end(), 0.0) / double(values.size());
}

double Median(std::vector<double> values) {
    if (values.empty()) {
        return 0;
    }
    std::sort(values.begin(), values.end());
    const size_t middle = values.size() / 2;
    return values.size() % 2 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

// Each iteration converts the licence twice, with an empty lexicon and with the entries, in
// alternating order so that a slower machine affects both alike. The time reported is the run
// with the lexicon.
void ConvertAlternating(benchmark::State& state, const LexiconEntries& entries, Runs& into) {
    const QString empty = workDir->filePath(QStringLiteral("empty.txt"));
    const QString full = workDir->filePath(QStringLiteral("lexicon.txt"));
    QFile(empty).open(QIODevice::WriteOnly);
    if (!WriteLexicon(full, entries)) {
        state.SkipWithError("the lexicon could not be written");
        return;
    }
    int round = 0;
    for (auto _ : state) {
        double withLexicon = 0;
        for (int i = 0; i < 2; ++i) {
            const bool lexiconRun = (i == 0) == (round % 2 == 1);
            qint64 wave = 0;
            double cpu = 0;
            const double seconds = Convert(lexiconRun ? full : empty, &wave, &cpu);
            if (seconds < 0) {
                state.SkipWithError("quillsong-cli failed");
                return;
            }
            (lexiconRun ? into.lexicon : into.empty).push_back(seconds);
            (lexiconRun ? into.lexiconCpu : into.emptyCpu).push_back(cpu);
            (lexiconRun ? into.lexiconWave : into.emptyWave) = wave;
            if (lexiconRun) {
                withLexicon = seconds;
            }
        }
        state.SetIterationTime(withLexicon);
        ++round;
    }
    state.counters["empty_s"] = Mean(into.empty);
    state.counters["lexicon_s"] = Mean(into.lexicon);
    state.counters["overhead_%"] = (Mean(into.lexicon) / Mean(into.empty) - 1) * 100;
    state.counters["cpu_overhead_%"] = (Mean(into.lexiconCpu) / Mean(into.emptyCpu) - 1) * 100;
}

void BM_CliGplToWave(benchmark::State& state) {
    ConvertAlternating(state, Lexicon(), runs);
}
BENCHMARK(BM_CliGplToWave)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(12);

void BM_CliGplToWaveSharedFirstWord(benchmark::State& state) {
    ConvertAlternating(state, SharedFirstWord(), sharedRuns);
}
BENCHMARK(BM_CliGplToWaveSharedFirstWord)
    ->Unit(benchmark::kMillisecond)
    ->UseManualTime()
    ->Iterations(4);

// Building the matcher as a voice does once per change of the lexicon.
void BM_MatcherBuild(benchmark::State& state) {
    const LexiconEntries entries = Lexicon();
    for (auto _ : state) {
        LexiconMatcher matcher(entries, QStringLiteral("en-us"), true);
        benchmark::DoNotOptimize(matcher);
    }
    state.counters["entries"] = double(entries.size());
}
BENCHMARK(BM_MatcherBuild)->Unit(benchmark::kMicrosecond);

// Rewriting the licence's text: with no entries (what every text costs without a lexicon), with
// 200, and with the 200,000 that begin with "the".
void BM_MatcherApplyGpl(benchmark::State& state) {
    const QString text = Licence();
    const LexiconEntries entries = state.range(0) == kSharedSize ? SharedFirstWord()
                                   : state.range(0)              ? Lexicon()
                                                                 : LexiconEntries{};
    const LexiconMatcher matcher(entries, QStringLiteral("en-us"), true);
    int replaced = 0;
    for (auto _ : state) {
        const LexiconText spoken = matcher.apply(text);
        replaced = int(spoken.text.size());
        benchmark::DoNotOptimize(replaced);
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * text.size() * 2);
    state.counters["text_chars"] = double(text.size());
    state.counters["spoken_chars"] = double(replaced);
}
BENCHMARK(BM_MatcherApplyGpl)
    ->Arg(0)
    ->Arg(kLexiconSize)
    ->Arg(kSharedSize)
    ->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) {
    QTemporaryDir dir;
    workDir = &dir;
    qputenv("XDG_DATA_HOME", dir.filePath(QStringLiteral("data")).toUtf8());
    qputenv("XDG_CONFIG_HOME", dir.filePath(QStringLiteral("config")).toUtf8());
    QCoreApplication app(argc, argv);
    const LexiconEntries entries = Lexicon();
    if (entries.size() != kLexiconSize) {
        std::fprintf(stderr, "the lexicon has %lld entries, not %d\n",
                     static_cast<long long>(entries.size()), kLexiconSize);
        return 1;
    }
    for (const LexiconEntry& entry : entries) {
        if (const QString problem = LexiconFile::check(entry); !problem.isEmpty()) {
            std::fprintf(stderr, "%s: %s\n", qPrintable(entry.written), qPrintable(problem));
            return 1;
        }
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    const auto report = [](const char* what, int size, const std::vector<double>& empty,
                           const std::vector<double>& lexicon) {
        std::printf(
            "  %s: empty lexicon mean %.3f s (median %.3f s), %d entries mean %.3f s "
            "(median %.3f s); ratio of means %.4f (%+.2f %%), of medians %.4f\n",
            what, Mean(empty), Median(empty), size, Mean(lexicon), Median(lexicon),
            Mean(lexicon) / Mean(empty), (Mean(lexicon) / Mean(empty) - 1) * 100,
            Median(lexicon) / Median(empty));
    };
    const auto reportRuns = [&report](const Runs& done, int size, const char* goal) {
        if (done.empty.empty()) {
            return;
        }
        std::printf("\nGPL-3 to WAV with quillsong-cli, %zu runs each, alternating (goal: %s):\n",
                    done.empty.size(), goal);
        report("elapsed  ", size, done.empty, done.lexicon);
        report("processor", size, done.emptyCpu, done.lexiconCpu);
        std::printf("  waves written: %lld bytes without, %lld bytes with the lexicon\n",
                    static_cast<long long>(done.emptyWave),
                    static_cast<long long>(done.lexiconWave));
    };
    reportRuns(runs, kLexiconSize, "under 5 % more time with the lexicon");
    reportRuns(sharedRuns, kSharedSize,
               "under 1.3 times the time without a lexicon, the entries all beginning with "
               "\"the\"");
    return 0;
}
