// Writes the web page of a quiz source for the browser tests: the source is
// read and checked as a build reads and checks it, then written as a page,
// or as a SCORM package holding NAME.html.
//   writePage SOURCE.toml NAME.html
//   writePage SOURCE.toml NAME.zip --scorm
// Prints each picture or clip the browser cannot show; exits 1 on a problem.
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "authoring/quizCheck.h"
#include "authoring/quizToml.h"
#include "authoring/scormPackage.h"
#include "authoring/webPage.h"

namespace {

bool readBytes(const std::string& path, std::vector<uint8_t>& bytes) {
    std::ifstream file(path, std::ios::binary);
    if (!file) return false;
    bytes.assign(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    const bool scorm = argc == 4 && std::string(argv[3]) == "--scorm";
    if (argc != 3 && !scorm) {
        std::fprintf(stderr, "usage: writePage SOURCE.toml NAME.html | NAME.zip --scorm\n");
        return 2;
    }
    const std::string source = argv[1];
    std::vector<uint8_t> text;
    QuizModel model;
    SourceLines lines;
    std::vector<ModelProblem> problems;
    if (!readBytes(source, text) || !readQuizToml(std::string(text.begin(), text.end()), model, lines, problems) ||
        !(problems = checkQuiz(model)).empty()) {
        for (const ModelProblem& problem : problems) std::fprintf(stderr, "%s\n", problem.message.c_str());
        std::fprintf(stderr, "%s: not a quiz a build accepts\n", source.c_str());
        return 1;
    }
    std::string name = argv[2];
    name = name.substr(name.find_last_of('/') + 1);
    const std::string stem = name.substr(0, name.find_last_of('.'));
    name = stem + ".txt";
    WebPage page;
    if (!writeWebPage(model, source, readBytes, name, page)) {
        for (const std::string& path : page.unreadable) std::fprintf(stderr, "cannot read %s\n", path.c_str());
        return 1;
    }
    for (const std::string& path : page.unshowable) std::printf("not shown by browsers: %s\n", path.c_str());
    std::string bytes = page.html;
    if (scorm && !writeScormPackage(model.title, stem + ".html", page.html, bytes)) return 1;
    std::ofstream out(argv[2], std::ios::binary);
    out << bytes;
    return out.good() ? 0 : 1;
}
