// Times the main window on a large player: start to first show with the table filled, a full
// rebuild, a search, a selection of 100 artists and a sort by title.
//
// usage: gui_bench PLAYER_ROOT   (runs on the offscreen platform unless told otherwise)

#include "gui/TFormMain.h"
#include "gui/TrackTableModel.h"

#include <QApplication>
#include <QTableView>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>

namespace {

double Ms(const std::function<void()>& work) {
    const auto start = std::chrono::steady_clock::now();
    work();
    QApplication::processEvents(); // includes the repaint of what changed
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
        .count();
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: gui_bench PLAYER_ROOT\n");
        return 1;
    }
    if (std::getenv("QT_QPA_PLATFORM") == nullptr)
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    const auto processStart = std::chrono::steady_clock::now();
    QApplication application(argc, argv);

    TMainEnvironment environment;
    environment.removableRoots = [] { return std::vector<std::string>(); };
    environment.extraPlayers = {argv[1]};
    TFormMain form(std::move(environment));
    form.show();
    QApplication::processEvents();
    const double firstShow =
        std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - processStart)
            .count();

    const double all = Ms([&] { form.DisPlaySongs(TDisplayMode::dmAll); });
    const char* searchText = "Bells 1";
    const double search = Ms([&] { form.DisPlaySongs(TDisplayMode::dmSearch, {searchText}); });
    const int searchRows = form.SongModel->rowCount();

    std::vector<std::string> artists = form.iPod.GetArtistList();
    const std::size_t real = std::min<std::size_t>(artists.size(), 100);
    artists.resize(real);
    for (std::size_t i = real; i < 100; ++i)
        artists.push_back("Nobody " + std::to_string(i));
    const double byArtist = Ms([&] { form.DisPlaySongs(TDisplayMode::dmArtists, artists); });
    const int artistRows = form.SongModel->rowCount();

    form.DisPlaySongs(TDisplayMode::dmAll);
    QApplication::processEvents();
    const double sort = Ms([&] { form.SongModel->SortRows(1, Qt::AscendingOrder); });

    std::printf("tracks                          %d\n", form.iPod.GetSongCount());
    std::printf("start to first show             %.1f ms\n", firstShow);
    std::printf("dmAll rebuild                   %.1f ms\n", all);
    std::printf("search \"%s\" (%d rows)     %.1f ms\n", searchText, searchRows, search);
    std::printf("100 artists (%zu real, %d rows) %.1f ms\n", real, artistRows, byArtist);
    std::printf("sort by title                   %.1f ms\n", sort);
    return 0;
}
