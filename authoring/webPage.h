// The quiz as one self-contained web page: the runtime of web/, the judge
// module and every picture and clip inline, nothing fetched. Same model and
// same media, same bytes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "authoring/quizAssembly.h"
#include "authoring/quizModel.h"

// A page this large is slow to mail and to open: worth a warning.
constexpr size_t webPageLargeSize = 50u * 1024 * 1024;

struct WebPage {
    std::string html;                     // UTF-8
    std::vector<std::string> unshowable;  // media (paths as in the model) no browser shows: WMF, EMF, AVI...
    std::vector<std::string> unreadable;  // media that could not be read, joined to the source's folder
};

// The page of a model that a build would accept (the caller checks it
// first). progressName is the file that "Sauver" offers, the Windows
// player's NAME.txt. False, with out.unreadable filled, when a picture or
// clip cannot be read or is empty.
bool writeWebPage(const QuizModel& model, const std::string& sourceFile, const FileReader& readFile,
                  const std::string& progressName, WebPage& out);

// What the page's runtime plays by besides the quiz, from the player's own
// constants, so that the script writes none of them: the page's data carries
// it as "rules". {"limits":{"text":259,"progressLine":259,"rewardCodes":96},
// "modes":{"kind":{"text":0,...},"reveal":{"none":0,"solutionPicture":1,...},
// "revealShowsComments":[2,3,4],"revealShowsPicture":[1,3]}}.
std::string webPageRules();

// Text as HTML and XML both read it: &, <, > and " as entities.
std::string markupEscaped(const std::string& text);

// Whether current browsers show or play a picture or clip of a quiz of
// `kind`, judged from its bytes (WMF, EMF, AVI, WMA, WMV are not).
bool browserShows(const std::vector<uint8_t>& bytes, int32_t kind);

// Standard base64 with padding, as data: URLs and the page's loader want it.
std::string base64(const unsigned char* data, size_t size);
