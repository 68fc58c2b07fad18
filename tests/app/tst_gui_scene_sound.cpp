// The settings panel's sound switch, clicked: OFF stops the music, ON restarts it.
#include "SceneDriver.h"
#include "SoundPlayers.h"

using namespace scenedriver;

class tst_gui_scene_sound : public QObject {
    Q_OBJECT

private slots:
    void soundSwitchStopsAndRestartsTheMusic()
    {
        WorkFolder folder;
        QVERIFY2(folder.make(), "build the z3_skins and z3_data targets first");
        Scene scene;
        QVERIFY(scene.start());
        SoundPlayers *sounds = scene.view->sounds();
        scene.view->playMedia_Index(0); // as the end of the start-up chime does
        QTRY_COMPARE_WITH_TIMEOUT(sounds->state(0).playback, QMediaPlayer::PlayingState, 10000);
        QVERIFY(scene.openSettings());
        for (int row : {1, 0}) {
            QVERIFY(chooseRow(scene.view, QStringLiteral("soundList"), row));
            QTRY_COMPARE_WITH_TIMEOUT(scene.view->isAudioEnabled(), row == 0, 3000);
            QTRY_COMPARE_WITH_TIMEOUT(sounds->state(0).source.isEmpty(), row == 1, 10000);
            QTRY_COMPARE_WITH_TIMEOUT(sounds->state(0).playback == QMediaPlayer::PlayingState, row == 0, 10000);
        }
    }
};

QTEST_MAIN(tst_gui_scene_sound)
#include "tst_gui_scene_sound.moc"
