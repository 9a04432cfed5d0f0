#include "authoring/messages.h"

#include <vector>

#include "authoring/windows1252.h"

namespace {

// Indexed by Message; Windows-1252, non-ASCII characters as escapes.
const char* const texts[] = {
    // tomlSyntax
    "le fichier n'est pas du TOML valide ({1})",
    // sourceNotUtf8
    "le fichier n'est pas en UTF-8 : enregistrez-le en UTF-8",
    // sourceOutsideText
    "\xAB {1} \xBB se trouve hors d'un texte entre guillemets et hors d'un commentaire : le TOML n'accepte "
    "l\xE0 que des caract\xE8res ASCII",
    // sourceStrayQuote
    "\xAB {1} \xBB ne peut pas ouvrir un texte \xE0 cet endroit (un texte suit \xAB = \xBB, \xAB [ \xBB ou "
    "\xAB , \xBB)",
    // sourceAfterValue
    "\xAB {1} \xBB ne peut pas suivre une valeur sur la m\xEAme ligne (une date n'est suivie que d'une heure "
    "compl\xE8te, 2024-05-01 12:00:00)",
    // unknownKey
    "cl\xE9 inconnue (cl\xE9s connues : {1})",
    // notText
    "doit \xEAtre un texte entre guillemets droits",
    // kindChoice
    "doit valoir \"text\", \"pictures\", \"audio\" ou \"video\"",
    // revealChoice
    "doit valoir \"none\", \"solution-picture\", \"comment\", \"comment-and-picture\" ou \"all-comments\"",
    // answersChoice
    "doit valoir 1 ou 2",
    // colourForm
    "doit s'\xE9"
    "crire \"#RRGGBB\" ou [rouge, vert, bleu], chaque valeur de 0 \xE0 255",
    // captionsForm
    "doit \xEAtre une liste d'au plus deux textes",
    // rewardCodesForm
    "doit \xEAtre une liste de textes, un code par score",
    // questionsForm
    "les questions s'\xE9"
    "crivent en tables [[question]]",
    // mediaPathForm
    "doit \xEAtre le chemin d'un fichier, relatif au fichier du quiz",
    // acceptedForm
    "doit \xEAtre un texte entre guillemets droits, ou une liste de textes dont le premier est la r\xE9ponse "
    "principale",
    // kindMissing
    "manque : indiquez \"text\", \"pictures\", \"audio\" ou \"video\"",
    // titleMissing
    "manque : le quiz a besoin d'un titre",
    // answerMissing
    "manque ou est vide : aucune r\xE9ponse tap\xE9"
    "e ne pourrait \xEAtre juste",
    // answer2Missing
    "manque ou est vide : avec answers_per_question = 2, chaque question a deux r\xE9ponses",
    // answer2Unused
    "ne sert qu'avec answers_per_question = 2",
    // otherAnswerEmpty
    "une autre r\xE9ponse accept\xE9"
    "e est vide",
    // otherAnswerRepeated
    "\xAB {1} \xBB est d\xE9j\xE0 une r\xE9ponse accept\xE9"
    "e de cette case",
    // textQuizOneBox
    "un quiz de texte n'a qu'une case par question : avec answers_per_question = 2, les r\xE9ponses answer2 "
    "ne seraient jamais demand\xE9"
    "es",
    // commentUnused
    "n'est montr\xE9 qu'avec reveal = \"comment\", \"comment-and-picture\" ou \"all-comments\"",
    // comment2Unused
    "n'est gard\xE9 qu'avec reveal = \"comment-and-picture\"",
    // mediaUnused
    "ne sert pas dans ce type de quiz et serait laiss\xE9 de c\xF4t\xE9",
    // pictureMissing
    "manque : chaque question d'un quiz de type \"pictures\" montre une image",
    // solutionMissing
    "manque : avec reveal = \"solution-picture\" ou \"comment-and-picture\", une bonne r\xE9ponse montre une "
    "image solution",
    // clipMissing
    "manque : chaque question d'un quiz de type \"audio\" ou \"video\" joue un extrait",
    // revealNeedsPictures
    "une image solution ne peut appara\xEEtre que dans un quiz de type \"pictures\"",
    // invalidUtf8
    "n'est pas un texte UTF-8 valide",
    // notWindows1252
    "contient un caract\xE8re que Windows-1252 n'a pas ({1}) : le lecteur n'affiche que les caract\xE8res de "
    "Windows-1252",
    // holdsBar
    "contient \xAB | \xBB, que le lecteur prend pour la fin d'un texte",
    // holdsNul
    "contient un caract\xE8re NUL",
    // tooLong
    "compte {1} caract\xE8res ; le lecteur en garde au plus {2}",
    // codeLineBreak
    "contient un saut de ligne",
    // noQuestion
    "il n'y a aucune [[question]] : un quiz en demande au moins une",
    // tooManyQuestions
    "il y a {1} questions ; le lecteur en garde au plus {2}",
    // rewardCodesMissing
    "manque : donnez un code par score, de 1 au nombre de questions",
    // rewardCodeCount
    "{1} codes pour {2} questions : donnez exactement un code par score, de 1 au nombre de questions",
    // commentNotShown
    "un quiz de type \"text\" ne montre pas les commentaires : le lecteur ne les affichera pas",
    // mediaShared
    "\"{1}\" sert d\xE9j\xE0 \xE0 la question {2}",
    // textsTooLarge
    "les textes du quiz sont trop longs pour la ressource compress\xE9"
    "e du lecteur ({1} octets avant "
    "compression, erreur {2})",
    // codesTooLarge
    "les codes de r\xE9"
    "compense sont trop longs pour la ressource compress\xE9"
    "e du lecteur (erreur {1})",
    // cannotReadMedia
    "impossible de lire le fichier \"{1}\"",
    // emptyMedia
    "le fichier \"{1}\" est vide",
    // notAPicture
    "\"{1}\" n'est pas une image PNG, JPEG, GIF, BMP, ICO, WMF ou EMF",
    // pngRefused
    "le d\xE9"
    "codeur PNG du lecteur ne sait pas lire \"{1}\"",
    // noQuizResource
    "il ne contient aucun quiz (pas de ressource PATCH 104)",
    // quizUndecodable
    "sa ressource de quiz (PATCH 104) ne se d\xE9"
    "code pas",
    // quizMalformed
    "ses ressources de quiz (PATCH 104 et 105) sont ab\xEEm\xE9"
    "es",
    // kindUnnamed
    "son type de quiz {1} n'a pas de nom dans un fichier source",
    // answersUnsupported
    "il demande {1} r\xE9ponses par question ; un fichier source en permet 1 ou 2",
    // revealUnnamed
    "son mode de r\xE9v\xE9lation {1} n'a pas de nom dans un fichier source",
    // csvNulByte
    "le fichier contient un octet nul : ce n'est pas un tableau enregistr\xE9 en texte (CSV)",
    // csvUtf16
    "le fichier est en UTF-16 (\xAB Texte Unicode \xBB) : enregistrez le tableau en \xAB CSV UTF-8 \xBB ou en \xAB CSV "
    "(point-virgule) \xBB",
    // csvEmptyFile
    "le fichier est vide : sa premi\xE8re ligne doit nommer les colonnes (r\xE9ponse, \xE9nonc\xE9, commentaire...)",
    // csvNoQuestion
    "le tableau n'a aucune question : sous la ligne des noms de colonnes, chaque ligne remplie donne une question",
    // csvUnknownColumn
    "la colonne {1}, \xAB {2} \xBB, n'est pas une colonne connue ; colonnes connues : {3}",
    // csvDuplicateColumn
    "la colonne {1}, \xAB {2} \xBB, reprend la colonne {3}, \xAB {4} \xBB : chaque colonne ne peut figurer qu'une fois",
    // csvNoAnswerColumn
    "aucune colonne ne donne les r\xE9ponses : nommez-en une \xAB r\xE9ponse \xBB (ou \xAB answer \xBB)",
    // csvExtraValue
    "cette ligne a une valeur en colonne {1}, \xAB {2} \xBB, mais la ligne des noms de colonnes n'en nomme que {3}",
    // csvValueWithoutName
    "la colonne {1} n'a pas de nom sur la ligne des noms de colonnes, mais cette ligne y a une valeur : \xAB {2} \xBB",
    // csvUnterminatedQuote
    "le guillemet ouvert sur cette ligne n'est jamais ferm\xE9 : le fichier se termine avant",
    // csvTextAfterQuote
    "du texte suit le guillemet qui ferme une valeur ; dans une valeur entre guillemets, un guillemet s'\xE9"
    "crit deux fois (\"\")",
    // csvTooManyQuestions
    "le quiz aurait {1} questions ({2} d\xE9j\xE0 dans le quiz, {3} dans ce tableau), or le lecteur en contient au "
    "plus {4} : cette ligne donnerait la question {5}",
    // csvTooManyProblems
    "trop de probl\xE8mes : la lecture du tableau s'arr\xEAte ici",
    // csvOutOfMemory
    "le tableau est trop grand pour \xEAtre lu (m\xE9moire insuffisante)",
    // csvRevealChosen
    "apr\xE8s une bonne r\xE9ponse, le quiz montre {1} (reveal = \"{2}\"), comme le tableau en donne",
    // usage
    "utilisation : quizpack build QUIZ.toml [-o NOM.exe] [--player vetra.exe]\n"
    "              quizpack extract NOM.exe [-o QUIZ.toml] [--media DOSSIER]\n"
    "              quizpack import QUESTIONS.csv|BANQUE.gift|BANQUE.xml [-o QUIZ.toml]\n"
    "                     [--kind text|pictures|audio|video]\n"
    "              quizpack web QUIZ.toml|NOM.exe [-o NOM.html] [--scorm]\n"
    "              quizpack moodle QUIZ.toml|NOM.exe [-o NOM.xml] [--gift]\n"
    "              quizpack QUIZ.toml\n"
    "\n"
    "build    v\xE9rifie le quiz et \xE9"
    "crit une copie du lecteur qui le contient (lecteur\n"
    "         par d\xE9"
    "faut : vetra.exe \xE0 c\xF4t\xE9 de quizpack.exe ; sortie par d\xE9"
    "faut : le\n"
    "         nom du quiz avec .exe) ; un quiz donn\xE9 seul, ou d\xE9pos\xE9 sur quizpack.exe,\n"
    "         est construit \xE0 c\xF4t\xE9 de lui-m\xEAme\n"
    "extract  r\xE9\xE9"
    "crit le quiz que porte un lecteur en fichier source, et ses images et\n"
    "         extraits dans DOSSIER (par d\xE9"
    "faut : le nom du quiz suivi de \"-media\")\n"
    "import   fait un quiz d'un tableau de questions (CSV) ou d'une banque de questions\n"
    "         Moodle (GIFT ou Moodle XML) : le quiz prend le nom du fichier et s'\xE9"
    "crit \xE0\n"
    "         c\xF4t\xE9 de lui, ou dans QUIZ.toml ; un fichier qui existe d\xE9j\xE0 n'est\n"
    "         jamais \xE9"
    "cras\xE9 (type par d\xE9"
    "faut : text, ou images pour une banque dont\n"
    "         chaque question a une image)\n"
    "web      \xE9"
    "crit le quiz en une page web qui se joue dans tout navigateur, hors ligne\n"
    "         (NOM.html), ou avec --scorm en paquet SCORM 1.2 pour une plateforme\n"
    "         d'apprentissage (NOM.zip)\n"
    "moodle   \xE9"
    "crit le quiz en banque de questions \xE0 importer dans Moodle : Moodle XML\n"
    "         avec ses images et extraits (NOM.xml), ou avec --gift en GIFT, sans eux\n"
    "         (NOM.gift)\n",
    // cannotReadSource
    "impossible de lire le fichier du quiz",
    // notPacked
    "rien n'a \xE9t\xE9 \xE9"
    "crit ({1} probl\xE8mes)",
    // picturesRowWarning
    "attention : le lecteur range les images trois par ligne et cherche des images jusqu'\xE0 la num\xE9ro {1} ; "
    "avec {2} questions, il signalera celles qui manquent",
    // unstrippedWarning
    "attention : le lecteur n'est pas d\xE9pouill\xE9 de ses symboles ; leur table pointera au mauvais endroit "
    "une fois ses ressources agrandies (liez-le avec -s)",
    // packed
    "{1} questions mises dans {2}",
    // extracted
    "quiz \xE9"
    "crit dans {1}",
    // extractedMedia
    "{1} fichiers d'images ou d'extraits \xE9"
    "crits dans {2}",
    // noCodesWarning
    "attention : le lecteur ne portait pas de codes de r\xE9"
    "compense lisibles ; ils sont laiss\xE9s vides dans "
    "le fichier source, \xE0 remplir",
    // cannotWrite
    "impossible d'\xE9"
    "crire \"{1}\"",
    // alreadyExists
    "ce fichier existe d\xE9j\xE0 et n'est pas \xE9"
    "cras\xE9 : supprimez-le, ou choisissez un autre nom avec -o",
    // imported
    "{1} questions import\xE9"
    "es dans {2}",
    // notImported
    "rien n'a \xE9t\xE9 import\xE9 ({1} probl\xE8mes)",
    // packedOne
    "{1} question mise dans {2}",
    // extractedMediaOne
    "{1} fichier d'image ou d'extrait \xE9"
    "crit dans {2}",
    // importedOne
    "{1} question import\xE9"
    "e dans {2}",
    // notPackedOne
    "rien n'a \xE9t\xE9 \xE9"
    "crit ({1} probl\xE8me)",
    // notImportedOne
    "rien n'a \xE9t\xE9 import\xE9 ({1} probl\xE8me)",
    // pressAKey
    "Appuyez sur une touche pour fermer cette fen\xEAtre...",
    // cannotOpenExecutable
    "impossible d'ouvrir \"{1}\" comme programme Windows",
    // cannotReadResources
    "impossible de lire les ressources de \"{1}\"",
    // cannotCreateTemporary
    "impossible de cr\xE9"
    "er un fichier temporaire \xE0 c\xF4t\xE9 de \"{1}\"",
    // cannotCopyPlayer
    "impossible de copier le lecteur \"{1}\"",
    // cannotUpdateResources
    "impossible d'\xE9"
    "crire les ressources du quiz dans la copie du lecteur",
    // resourcesReadBackDifferent
    "les ressources du quiz ne se relisent pas \xE0 l'identique dans le lecteur \xE9"
    "crit",
    // cannotWriteFolder
    "impossible d'\xE9"
    "crire dans le dossier \"{1}\"",
    // questionsImported
    "{1} questions import\xE9"
    "es",
    // questionImported
    "1 question import\xE9"
    "e",
    // labelTryAnswer
    "Essayer une r\xE9ponse :",
    // labelTryAnswer2
    "Essayer la r\xE9ponse 2 :",
    // labelOtherAnswers
    "Autres r\xE9ponses accept\xE9"
    "es :",
    // trialOtherAnswer
    "{1} \x97 autre r\xE9ponse : {2}",
    // labelQuestions
    "Questions :",
    // labelProblems
    "Probl\xE8mes :",
    // buttonChoose
    "Choisir\x85",
    // buttonBrowse
    "Parcourir\x85",
    // menuFile
    "&Fichier",
    // menuEdit
    "\xC9&dition",
    // menuHelp
    "&Aide",
    // askSaveChanges
    "Enregistrer les modifications ?",
    // valuesLeftAside
    "Ces valeurs n\'ont pas pu \xEAtre lues ; elles restent dans la liste des probl\xE8mes et l\'enregistrement les "
    "garde telles quelles :",
    // extractedNotice
    "quiz extrait de {1}.exe, \xE0 enregistrer en .toml",
    // aboutCaption
    "\xC0 propos d\'Atelier Vetra",
    // aboutText
    "Atelier Vetra\nversion {1}\n\nL\'\xE9"
    "diteur des quiz du lecteur Vetra.",
    // untitled
    "Sans titre",
    // filterQuiz
    "Quiz Vetra (*.toml)|*.toml|Tous les fichiers (*.*)|*.*|",
    // filterOpen
    "Quiz Vetra (*.toml, *.exe)|*.toml;*.exe|Source de quiz (*.toml)|*.toml|Quiz construit (*.exe)|*.exe|"
    "Tous les fichiers (*.*)|*.*|",
    // filterTable
    "Questions (*.csv, *.gift, *.xml)|*.csv;*.gift;*.txt;*.xml|Tableau CSV (*.csv)|*.csv|"
    "Banque Moodle GIFT (*.gift, *.txt)|*.gift;*.txt|Banque Moodle XML (*.xml)|*.xml|Tous les fichiers (*.*)|*.*|",
    // filterPictures
    "Images (*.png, *.jpg, *.gif, *.bmp)|*.png;*.jpg;*.jpeg;*.gif;*.bmp|Tous les fichiers (*.*)|*.*|",
    // filterVideos
    "Vid\xE9os (*.avi, *.mpg, *.wmv, *.mp4)|*.avi;*.mpg;*.mpeg;*.wmv;*.mp4|Tous les fichiers (*.*)|*.*|",
    // filterSounds
    "Sons (*.mp3, *.wav, *.wma, *.ogg, *.mid)|*.mp3;*.wav;*.wma;*.ogg;*.mid|Tous les fichiers (*.*)|*.*|",
    // deleteKeptKey
    "Supprimer \xAB {1} \xBB du quiz ?",
    // webUnshowable
    "attention : les navigateurs ne montrent pas \"{1}\" (WMF, EMF, AVI...) ; la page propose de l'enregistrer",
    // webLarge
    "attention : la page p\xE8se {1} Mo ; elle sera lente \xE0 envoyer et \xE0 ouvrir",
    // webWritten
    "page web \xE9"
    "crite dans {1}",
    // scormWritten
    "paquet SCORM \xE9"
    "crit dans {1}",
    // linkForm
    "une adresse web commence par http:// ou https:// et ne contient ni espace ni accent "
    "(par exemple https://ecole.example.fr/cm2)",
    // editor keyboard, saving and export
    // filterWebPage
    "Page web (*.html)|*.html|Tous les fichiers (*.*)|*.*|",
    // filterScormPackage
    "Paquet SCORM (*.zip)|*.zip|Tous les fichiers (*.*)|*.*|",
    // exportWarnings
    "{1}, mais :",
    // question banks for Moodle
    // filterMoodleBank
    "Banque de questions Moodle XML (*.xml)|*.xml|Banque de questions GIFT (*.gift)|*.gift|",
    // moodleQuestionName
    "Question {1}",
    // moodleWrittenOne
    "banque de questions Moodle XML \xE9"
    "crite dans {2} ({1} question)",
    // moodleWritten
    "banque de questions Moodle XML \xE9"
    "crite dans {2} ({1} questions)",
    // giftWrittenOne
    "banque de questions GIFT \xE9"
    "crite dans {2} ({1} question)",
    // giftWritten
    "banque de questions GIFT \xE9"
    "crite dans {2} ({1} questions)",
    // giftMediaLeftOutOne
    "attention : les images et les extraits ne vont pas dans un fichier GIFT ; {1} question est \xE9"
    "crite sans le sien (exportez en Moodle XML pour le garder)",
    // giftMediaLeftOut
    "attention : les images et les extraits ne vont pas dans un fichier GIFT ; {1} questions sont \xE9"
    "crites sans le leur (exportez en Moodle XML pour les garder)",
    // giftArrowLeftOut
    "attention : \xAB {1} \xBB n'est pas dans le fichier GIFT : une de ses r\xE9ponses contient \xAB -> \xBB, que "
    "Moodle y lit comme une question d'appariement (exportez en Moodle XML pour la garder)",
    // moodleUnshowable
    "attention : les navigateurs ne montrent pas \"{1}\" (WMF, EMF, AVI...) ; Moodle ne pourra pas le "
    "montrer",
    // editor history and codes
    // rewardScoreOne
    "1 bonne r\xE9ponse",
    // rewardScoreMany
    "{1} bonnes r\xE9ponses",
    // rewardScoreExtra
    "(en trop)",
    // rewardCodesForScores
    "{1} codes pour {2} questions : {3}",
    // rewardCodeLackingOne
    "il manque le code du score {1}",
    // rewardCodesLacking
    "il manque les codes des scores {1}",
    // rewardCodeLeftOverOne
    "1 code en trop : {1}",
    // rewardCodesLeftOver
    "{1} codes en trop : {2}",
    // listAnd
    "{1} et {2}",
    // listRange
    "{1} \xE0 {2}",
    // trialLeftOutOne
    "question {1} laiss\xE9"
    "e de c\xF4t\xE9 : elle a des probl\xE8mes",
    // trialLeftOut
    "questions {1} laiss\xE9"
    "es de c\xF4t\xE9 : elles ont des probl\xE8mes",
    // trialDraft
    "essai malgr\xE9 {1}, \xE0 corriger avant de construire",
    // trialRefused
    "Le quiz ne peut pas \xEAtre essay\xE9 : {1} \xE0 corriger d'abord (voir la liste des probl\xE8mes).",
    // bankLeftOutOne
    "{1} question {2} laiss\xE9"
    "e de c\xF4t\xE9",
    // bankLeftOut
    "{1} questions {2} laiss\xE9"
    "es de c\xF4t\xE9",
    // bankTypeMultipleChoice
    "\xE0 choix multiples",
    // bankTypeTrueFalse
    "vrai ou faux",
    // bankTypeMatching
    "d'appariement",
    // bankTypeEssay
    "\xE0 d\xE9veloppement",
    // bankTypeDescription
    "de type \xAB Description \xBB",
    // bankTypeCloze
    "\xE0 r\xE9ponses int\xE9gr\xE9"
    "es (Cloze)",
    // bankTypeNumericalApprox
    "\xE0 r\xE9ponse num\xE9rique avec une marge d'erreur ou plusieurs valeurs justes",
    // bankTypeShortNoRight
    "\xE0 r\xE9ponse courte sans r\xE9ponse \xE0 100 %",
    // bankTypeOther
    "de type \xAB {1} \xBB",
    // bankPartialOne
    "{1} r\xE9ponse \xE0 moins de 100 % laiss\xE9"
    "e de c\xF4t\xE9 : Vetra ne donne pas de points partiels",
    // bankPartial
    "{1} r\xE9ponses \xE0 moins de 100 % laiss\xE9"
    "es de c\xF4t\xE9 : Vetra ne donne pas de points partiels",
    // bankUsesCase
    "des questions demandent de respecter la casse (usecase 1) : Vetra ne distingue pas les majuscules des "
    "minuscules, \xAB Paris \xBB, \xAB paris \xBB et \xAB PARIS \xBB y sont la m\xEAme r\xE9ponse",
    // bankQuestionLeftOut
    "question {1} du fichier, \xAB {2} \xBB, laiss\xE9"
    "e de c\xF4t\xE9 ({3} : {4})",
    // bankNoQuestion
    "la banque n'a aucune question que Vetra puisse poser : il n'en reprend que les questions \xE0 r\xE9ponse "
    "courte et les questions num\xE9riques \xE0 une seule valeur exacte",
    // bankTooManyQuestions
    "la banque donne {1} questions et le quiz en aurait {2}, or le lecteur en contient au plus {3} : "
    "exportez la banque cat\xE9gorie par cat\xE9gorie (Banque de questions > Exporter, une cat\xE9gorie \xE0 la fois) "
    "et faites un quiz de chacune",
    // bankPicturesLeftAside
    "le quiz est de texte (un quiz d'images demande exactement une image par question) : images laiss\xE9"
    "es de c\xF4t\xE9 dans {1} : {2}",
    // giftNulByte
    "le fichier contient un octet nul : ce n'est pas un fichier GIFT enregistr\xE9 en texte",
    // giftUnclosedName
    "le nom ouvert par \xAB :: \xBB n'est jamais ferm\xE9 par \xAB :: \xBB",
    // giftUnclosedBrace
    "l'accolade ouverte ici n'est jamais ferm\xE9"
    "e dans la question (une ligne vide termine une question ; \xE9"
    "crivez \\{ pour une accolade dans un texte)",
    // giftNestedBrace
    "une accolade s'ouvre dans le bloc de r\xE9ponses : \xE9"
    "crivez \\{ pour une accolade dans un texte",
    // giftSecondBlock
    "la question a un second bloc de r\xE9ponses entre accolades : une question n'en a qu'un",
    // giftBadAnswers
    "le bloc de r\xE9ponses doit commencer par = ou ~ (des r\xE9ponses), T ou F (vrai ou faux) ou # (un nombre)",
    // giftBadWeight
    "le poids \xAB {1} \xBB d'une r\xE9ponse s'\xE9"
    "crit entre deux signes %, par exemple %50%",
    // giftBadNumber
    "\xAB {1} \xBB n'est pas une r\xE9ponse num\xE9rique (1789, 3.14, 3.14:0.01 ou 1..5)",
    // xmlNotUtf8
    "le fichier n'est pas en UTF-8, or Moodle \xE9"
    "crit ses banques XML en UTF-8 : exportez-la de nouveau sans la retoucher",
    // xmlEntityDeclared
    "le fichier d\xE9"
    "clare des entit\xE9s (<!ENTITY ...>) : Vetra n'en lit aucune, pour ne jamais aller lire un autre "
    "fichier ni d\xE9plier un texte sans fin ; une banque export\xE9"
    "e par Moodle n'en d\xE9"
    "clare pas",
    // xmlUnknownEntity
    "dans l'\xE9l\xE9ment <{1}>, \xAB &{2}; \xBB n'est ni une des cinq entit\xE9s de XML (&amp; &lt; &gt; &quot; "
    "&apos;) ni un caract\xE8re (&#233;)",
    // xmlUnclosed
    "l'\xE9l\xE9ment <{1}> n'est jamais ferm\xE9 : le fichier se termine avant",
    // xmlMismatch
    "l'\xE9l\xE9ment <{1}> est ferm\xE9 par </{2}>",
    // xmlMalformed
    "le XML est mal form\xE9 dans l'\xE9l\xE9ment <{1}> (pr\xE8s de \xAB {2} \xBB)",
    // xmlTooDeep
    "les \xE9l\xE9ments sont imbriqu\xE9s trop profond\xE9ment (dans <{1}>)",
    // xmlNoRoot
    "le fichier ne contient aucun \xE9l\xE9ment XML",
    // xmlNotMoodle
    "ce n'est pas une banque de questions Moodle : son \xE9l\xE9ment principal est <{1}> et non <quiz>",
    // xmlBadBase64
    "le fichier \xAB {1} \xBB joint \xE0 la question n'est pas cod\xE9 en base64 valide",
};

// The editor's words for the messages that name a source's keys or values.
struct FormText {
    Message id;
    const char* text;
};
const FormText formTexts[] = {
    {Message::unknownKey,
     "cl\xE9 inconnue, gard\xE9"
     "e telle quelle \xE0 l'enregistrement : corrigez-la dans le fichier, ou supprimez-la (double-clic)"},
    {Message::kindChoice, "choisissez un type : texte, images, audio ou vid\xE9o"},
    {Message::revealChoice, "choisissez ce que montre une bonne r\xE9ponse"},
    {Message::colourForm,
     "la couleur \xE9"
     "crite dans le fichier n'est pas lisible : choisissez-en une"},
    {Message::captionsForm,
     "les l\xE9gendes \xE9"
     "crites dans le fichier ne sont pas lisibles"},
    {Message::rewardCodesForm,
     "les codes \xE9"
     "crits dans le fichier ne sont pas lisibles"},
    {Message::questionsForm,
     "les questions \xE9"
     "crites dans le fichier ne sont pas lisibles"},
    {Message::kindMissing, "manque : choisissez texte, images, audio ou vid\xE9o"},
    {Message::answer2Missing,
     "manque ou est vide : avec 2 r\xE9ponses par question, chaque question a deux r\xE9ponses"},
    {Message::answer2Unused, "ne sert qu'avec 2 r\xE9ponses par question"},
    {Message::textQuizOneBox,
     "un quiz de texte n'a qu'une case par question : avec 2 r\xE9ponses par question, les r\xE9ponses 2 ne "
     "seraient jamais demand\xE9"
     "es"},
    {Message::commentUnused,
     "n'est montr\xE9 qu'avec \xAB Apr\xE8s une bonne r\xE9ponse : le commentaire \xBB, \xAB le commentaire et "
     "l'image solution \xBB ou \xAB tous les commentaires \xBB"},
    {Message::comment2Unused,
     "n'est gard\xE9 qu'avec \xAB Apr\xE8s une bonne r\xE9ponse : le commentaire et l'image solution \xBB"},
    {Message::pictureMissing, "manque : chaque question d'un quiz d'images montre une image"},
    {Message::solutionMissing,
     "manque : avec \xAB Apr\xE8s une bonne r\xE9ponse : l'image solution \xBB (ou \xAB le commentaire et l'image "
     "solution \xBB), une bonne r\xE9ponse montre une image solution"},
    {Message::clipMissing, "manque : chaque question d'un quiz audio ou vid\xE9o joue un extrait"},
    {Message::revealNeedsPictures, "une image solution ne peut appara\xEEtre que dans un quiz d'images"},
    {Message::noQuestion, "il n'y a aucune question : un quiz en demande au moins une"},
    {Message::commentNotShown, "un quiz de texte ne montre pas les commentaires : le lecteur ne les affichera pas"},
    {Message::csvRevealChosen, "Apr\xE8s une bonne r\xE9ponse : {1}, comme le tableau en donne"},
};

constexpr int textCount = static_cast<int>(sizeof texts / sizeof texts[0]);
static_assert(textCount == static_cast<int>(Message::xmlBadBase64) + 1,
              "one text per message, in the order of the enumeration");

}  // namespace

const char* messageTemplate(Message id) {
    const int index = static_cast<int>(id);
    return index >= 0 && index < textCount ? texts[index] : "";
}

int messageCount() {
    return textCount;
}

namespace {

std::string filled(const char* pattern1252, const std::string* arguments, size_t count) {
    const std::string pattern = windows1252ToUtf8(pattern1252);
    std::string out;
    for (size_t i = 0; i < pattern.size(); ++i) {
        const bool placeholder = pattern[i] == '{' && i + 2 < pattern.size() && pattern[i + 2] == '}' &&
                                 pattern[i + 1] >= '1' && pattern[i + 1] <= '9';
        const size_t n = placeholder ? static_cast<size_t>(pattern[i + 1] - '1') : count;
        if (n < count) {
            out += arguments[n];
            i += 2;
        } else {
            out += pattern[i];
        }
    }
    return out;
}

std::string filled(const char* pattern1252, std::initializer_list<std::string> arguments) {
    return filled(pattern1252, arguments.begin(), arguments.size());
}

}  // namespace

std::string messageText(Message id, std::initializer_list<std::string> arguments) {
    return filled(messageTemplate(id), arguments);
}

std::string formMessageText(Message id, std::initializer_list<std::string> arguments) {
    for (const FormText& form : formTexts) {
        if (form.id == id) return filled(form.text, arguments);
    }
    return messageText(id, arguments);
}

std::string countedMessage(size_t n, Message one, Message many, std::initializer_list<std::string> rest) {
    std::vector<std::string> arguments{std::to_string(n)};
    arguments.insert(arguments.end(), rest.begin(), rest.end());
    return filled(messageTemplate(n > 1 ? many : one), arguments.data(), arguments.size());
}

std::string counted(size_t n, const char* singular, const char* plural) {
    return std::to_string(n) + " " + (n > 1 ? plural : singular);
}

std::string listedItems(const std::vector<std::string>& items) {
    if (items.empty()) return "";
    std::string head = items.front();
    for (size_t i = 1; i + 1 < items.size(); ++i) head += ", " + items[i];
    return items.size() == 1 ? head : messageText(Message::listAnd, {head, items.back()});
}
