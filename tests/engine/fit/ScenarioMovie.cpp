#include "tests/engine/fit/ScenarioMovie.h"

#include <cstdint>
#include <vector>

#include "tests/support/MovieFileMaker.h"

bool MakeScenarioMovie(const DubScenario& scenario, const std::string& path, int channels,
                       std::string* error) {
    MovieRecipe recipe = MovieRecipe::Avi();
    recipe.sample_rate = static_cast<int>(scenario.rate);
    recipe.channels = channels;
    recipe.frames = static_cast<int>(scenario.seconds * recipe.rate_num / recipe.rate_den);
    const std::vector<float>& sound = scenario.movie;
    recipe.sound = [&sound](int64_t n) {
        return n < static_cast<int64_t>(sound.size()) ? sound[static_cast<size_t>(n)] : 0.0f;
    };
    return MovieFileMaker::Make(path, recipe, error);
}

bool MakeScenarioFiles(DubScenario& scenario, const std::string& folder, std::string* movie,
                       std::string* wav, std::string* error) {
    if (!scenario.Make(folder, error)) return false;
    *movie = folder + "/movie.avi";
    *wav = scenario.dub_path;
    return MakeScenarioMovie(scenario, *movie, 1, error);
}
