#include "authoring/quizModel.h"

bool ModelQuestion::operator==(const ModelQuestion& other) const {
    return answer == other.answer && answer2 == other.answer2 && prompt == other.prompt && comment == other.comment &&
           comment2 == other.comment2 && picture == other.picture && solution == other.solution && clip == other.clip &&
           extras == other.extras;
}

bool QuizModel::operator==(const QuizModel& other) const {
    return kind == other.kind && title == other.title && author == other.author && explanations == other.explanations &&
           link == other.link && answersPerQuestion == other.answersPerQuestion && caption1 == other.caption1 &&
           caption2 == other.caption2 && reveal == other.reveal && colourRed == other.colourRed &&
           colourGreen == other.colourGreen && colourBlue == other.colourBlue && rewardCodes == other.rewardCodes &&
           questions == other.questions && extras == other.extras;
}

size_t errorCount(const std::vector<ModelProblem>& problems) {
    size_t errors = 0;
    for (const ModelProblem& problem : problems) errors += !problem.warning;
    return errors;
}
