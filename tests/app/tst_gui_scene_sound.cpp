// The sound switch of the settings panel, driven with real mouse clicks in
// the running scene: OFF stops the background music and silences the
// clicks, ON starts the music again.
#include "SceneDriver.h"
#include "SoundPlayers.h"

#include <QMediaPlayer>

using namespace scenedriver;

class tst_gui_scene_sound : public QObject {
    Q_OBJECT

private slots:
    void soundOffStopsTheMusic()
    {
        WorkFolder folder;
        QVERIFY2(folder.make(), "build the z3_skins and z3_data targets first");
        Scene scene;
        QVERIFY(scene.start());
        myQQuickView *view = scene.view;

        // The delivered configuration has sound on: start the music as the
        // end of the start-up sound would, and wait for it to play.
        QVERIFY(view->isAudioEnabled());
        view->playMedia_Index(0);
        QTRY_COMPARE_WITH_TIMEOUT(view->sounds()->state(0).playback, QMediaPlayer::PlayingState, 10000);

        QVERIFY(scene.openSettings());
        QVERIFY(chooseRow(view, QStringLiteral("soundList"), 1));

        QTRY_VERIFY_WITH_TIMEOUT(!view->isAudioEnabled(), 3000);
        QTRY_COMPARE_WITH_TIMEOUT(view->sounds()->state(0).playback, QMediaPlayer::StoppedState, 3000);
        QTRY_VERIFY_WITH_TIMEOUT(view->sounds()->state(0).source.isEmpty(), 3000);
        // A click sound asked for now plays nothing.
        view->playMedia_Index(4);
        QCOMPARE(view->sounds()->state(4).playback, QMediaPlayer::StoppedState);

        // ON again: the music comes back.
        QVERIFY(chooseRow(view, QStringLiteral("soundList"), 0));
        QTRY_VERIFY_WITH_TIMEOUT(view->isAudioEnabled(), 3000);
        QTRY_COMPARE_WITH_TIMEOUT(view->sounds()->state(0).playback, QMediaPlayer::PlayingState, 10000);
    }
};

QTEST_MAIN(tst_gui_scene_sound)
#include "tst_gui_scene_sound.moc"
