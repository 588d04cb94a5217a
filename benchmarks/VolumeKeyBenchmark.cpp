// A volume key served against a private sound server, beside its floor in the same run: the
// key's whole step (read the level, set the next one, read what to show) and a connected client's
// setting of a level, one request and its answer. Keys and sets alternate up and down, so each
// one changes the level. Run in the process: the key's delivery by the X server is left out of
// both.
#include "PairedRuns.h"

#include "platform/fake/FakeSoundOutput.h"
#include "platform/linux/PulseSoundOutput.h"
#include "support/SoundServer.h"
#include "system/LevelStepping.h"

#include <QCoreApplication>
#include <QTest>

#include <benchmark/benchmark.h>

namespace {

using namespace corvane;
using namespace corvane::benchmarks;

void BM_VolumeKeyBesideAConnectedClientsSet(benchmark::State& state) {
    testing::SoundServer server;
    if (!server.isRunning())
        return state.SkipWithError("no private sound server");
    server.setVolumePercent(50);
    PulseSoundOutput output;
    if (!QTest::qWaitFor([&] { return output.volume().has_value(); }, 5000))
        return state.SkipWithError("the sound server did not answer");
    LevelSteps steps;
    FakeBacklight backlight;
    bool keyUp = true, setUp = true;
    bool served = true;
    PairedMedians medians;
    for (auto _ : state) {
        medians = timePaired(
            200,
            [&] {
                const MediaKey key = keyUp ? MediaKey::volumeUp : MediaKey::volumeDown;
                served = handleMediaKey(key, true, false, steps, output, backlight).handled && served;
                keyUp = !keyUp;
                // The server's notice of the change comes between keys, as between a person's.
                QCoreApplication::processEvents();
            },
            [&] {
                served = output.setVolume(setUp ? 0.3f : 0.2f) && served;
                setUp = !setUp;
                QCoreApplication::processEvents();
            });
    }
    if (!served)
        return state.SkipWithError("a key or a set was not served");
    reportPaired(state, medians);
    state.SetLabel("floor: a connected client's one set of the level");
}
BENCHMARK(BM_VolumeKeyBesideAConnectedClientsSet)->Iterations(1)->Unit(benchmark::kMillisecond);

} // namespace
