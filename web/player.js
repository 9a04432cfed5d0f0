// The quiz player as a web page. The page writer puts the quiz (texts in
// UTF-8, every value of the table of fields under its source key, and the
// player's limits and modes as quiz.rules), the judge module (the player's
// own verdict choice, compiled to WebAssembly) and, after this script, each
// picture and clip as a data: URL of its own element; this script lays out
// the sheet, judges a box on Enter and when it loses the focus, reveals,
// counts the score and keeps the answers, as the Windows player does.
'use strict';
(function () {
  const RIGHT = 1; // verdict numbers as the judge module gives them
  const quiz = JSON.parse(document.getElementById('quiz-data').textContent);
  // The player's own numbers, as the writer took them from its constants.
  const { limits, modes } = quiz.rules;
  const kinds = modes.kind;
  const reveals = modes.reveal;
  const rules = mirroredRules(quiz.rules);
  const ansi = windows1252();
  const boxes = []; // in box order: { input, label, question, slot, name }
  const solutionShown = [];
  let allCommentsShown = false;
  let judge = null;

  // Windows-1252 both ways from the browser's own decoder: a character the
  // code page lacks becomes "?", as an ANSI edit box makes it.
  function windows1252() {
    const decoder = new TextDecoder('windows-1252');
    const byChar = new Map();
    for (let b = 255; b >= 0; b--) byChar.set(decoder.decode(Uint8Array.of(b)), b);
    return {
      encode(text) {
        const out = [];
        for (const c of text) out.push(byChar.has(c) ? byChar.get(c) : 0x3f);
        return Uint8Array.from(out);
      },
      decode: (bytes) => decoder.decode(bytes),
    };
  }

  async function loadJudge() {
    const base64 = document.getElementById('quiz-judge').textContent.trim();
    const bytes = Uint8Array.from(atob(base64), (c) => c.charCodeAt(0));
    // Compiled at once where the browser allows it for a module this small:
    // awaiting the compiler would hand the main thread to the parser, busy
    // with the media, before the sheet is built.
    let instance;
    try {
      instance = new WebAssembly.Instance(new WebAssembly.Module(bytes), {});
    } catch (e) {
      ({ instance } = await WebAssembly.instantiate(bytes, {}));
    }
    const e = instance.exports;
    const size = e.bufferSize();
    const memory = () => new Uint8Array(e.memory.buffer);
    const put = (pointer, text) => {
      const encoded = ansi.encode(text).subarray(0, size - 1);
      memory().set(encoded, pointer);
      memory()[pointer + encoded.length] = 0;
    };
    const text = (pointer) => {
      const m = memory();
      let end = pointer;
      while (m[end] !== 0) end++;
      return ansi.decode(m.slice(pointer, end));
    };
    const verdicts = [];
    for (let i = 0; i < e.verdictTotal(); i++) verdicts.push(text(e.verdictText(i)));
    // A box's accepted answers, the main one first; the others one after
    // the other, each ended by a NUL, and an empty one to end them.
    const putAccepted = (accepted) => {
      put(e.acceptedBuffer(), accepted[0]);
      let at = e.othersBuffer();
      const end = at + e.othersBufferSize() - 1;
      for (const other of accepted.slice(1)) {
        const encoded = ansi.encode(other).subarray(0, size - 1);
        if (at + encoded.length + 1 >= end) break;
        memory().set(encoded, at);
        at += encoded.length;
        memory()[at++] = 0;
      }
      memory()[at] = 0;
    };
    return {
      verdicts,
      verdict(accepted, typed) {
        putAccepted(accepted);
        put(e.typedBuffer(), typed);
        return e.judge();
      },
      matches(accepted, typed) {
        putAccepted(accepted);
        put(e.typedBuffer(), typed);
        return e.matches() === 1;
      },
    };
  }

  // --- Rules mirrored from the player ---------------------------------------
  // The rules of the player's portable C++ that the page applies itself,
  // written again here: each names the function it mirrors, and
  // web/tests/mirroredRules.mjs runs both on one table of cases. Their
  // numbers come from the page's data (quiz.rules), but for the one
  // threshold of the label colour. Outside this function the page repeats
  // no such rule: its procedures (judgeLabel, reveal, updateScore) follow
  // the Windows player's own, with the modes and limits of the data.
  function mirroredRules({ limits, modes }) {
    return {
      // effectiveAnswersPerQuestion (quiz/quiz.cpp): the text kind lays out
      // one box per question, whatever the quiz says.
      effectiveAnswersPerQuestion(kind, answersPerQuestion) {
        return kind === modes.kind.text ? 1 : answersPerQuestion;
      },
      // isWebAddress (quiz/quizLayout.cpp): "http://" or "https://", then at
      // least one character, all printable ASCII without space, quotes, angle
      // brackets, backslash or backquote, at most limits.text in all.
      isWebAddress(text) {
        const scheme = text.startsWith('http://') ? 7 : text.startsWith('https://') ? 8 : 0;
        return scheme > 0 && text.length > scheme && text.length <= limits.text && /^[!-~]*$/.test(text) &&
          !/["<>\\`]/.test(text);
      },
      // linkText (app/headerLayout.cpp): the address as a reader recognises
      // it, without "https://", then "http://", then "www." at its start, and
      // without one final "/".
      linkText(text) {
        for (const prefix of ['https://', 'http://', 'www.']) {
          if (text.startsWith(prefix)) text = text.slice(prefix.length);
        }
        return text.endsWith('/') ? text.slice(0, -1) : text;
      },
      // blackTextOnQuizColour (sheet/scrollMath.cpp): black text on a light
      // quiz colour, white on a dark one.
      blackTextOnQuizColour: (red, green) => red > 69 || green > 69,
      // countScore (answers/verdict.cpp): the questions whose every box reads
      // the right verdict; labelText(k) for the boxes 1 .. N x M in box order.
      countScore(questionCount, perQuestion, labelText, right) {
        if (questionCount <= 0 || perQuestion < 1) return 0;
        let score = 0;
        for (let n = 1; n <= questionCount; n++) {
          let all = true;
          for (let k = 1; k <= perQuestion; k++) all = labelText((n - 1) * perQuestion + k) === right && all;
          if (all) score++;
        }
        return score;
      },
      // rewardText (answers/verdict.cpp): six spaces for no score, the
      // score's own code up to limits.rewardCodes, nothing above.
      rewardText(codes, score) {
        if (score <= 0) return '      ';
        if (score > limits.rewardCodes) return '';
        return codes[score - 1] || '';
      },
    };
  }

  // --- Media ---------------------------------------------------------------

  // Media K is the text of element media-K, which the parser reaches after
  // this script has built the sheet, first question first: the first row
  // need not wait for the last picture of a large page.
  const mediaFiles = {
    waiting: [], // [k, use] for media not yet parsed
    // The URL of media K, or null while the parser has not read all of it:
    // an element is whole once the next one exists or the document is parsed.
    url(k) {
      const holder = document.getElementById(`media-${k}`);
      if (!holder || holder.tagName !== 'SCRIPT') return null;
      if (document.readyState === 'loading' && !holder.nextElementSibling) return null;
      return holder.textContent;
    },
    when(k, use) {
      const url = this.url(k);
      if (url !== null) use(url);
      else this.waiting.push([k, use]);
    },
    flush() {
      const waiting = this.waiting;
      this.waiting = [];
      for (const [k, use] of waiting) this.when(k, use);
    },
    watch() {
      if (document.readyState !== 'loading') return;
      const parsed = new MutationObserver(() => this.flush());
      parsed.observe(document.body, { childList: true });
      document.addEventListener('DOMContentLoaded', () => {
        parsed.disconnect();
        this.flush(); // what is still missing never comes: its place stays empty
      });
    },
  };

  // A picture gets its URL when it comes within a screen of the view, or
  // when the page is printed: the browser decodes only what can be seen.
  // Until then its box keeps the picture's proportions, so that the sheet
  // does not move when it arrives.
  const waitingPictures = new Map(); // img -> media number
  const nearView = 'IntersectionObserver' in window
    ? new IntersectionObserver((entries) => {
      for (const entry of entries) if (entry.isIntersecting) showPicture(entry.target);
    }, { rootMargin: '100% 0px' })
    : null;

  function showPicture(img) {
    const k = waitingPictures.get(img);
    forgetPicture(img);
    if (k !== undefined) mediaFiles.when(k, (url) => { img.src = url; });
  }

  function forgetPicture(img) {
    waitingPictures.delete(img);
    if (nearView) nearView.unobserve(img);
  }

  function lazyPicture(attributes, picture) {
    const img = element('img', { ...attributes, decoding: 'async' });
    const { width, height } = picture;
    if (Number.isInteger(width) && Number.isInteger(height) && width > 0 && height > 0) {
      img.style.aspectRatio = `auto ${width} / ${height}`;
    }
    waitingPictures.set(img, picture.media);
    if (nearView) nearView.observe(img);
    else showPicture(img);
    return img;
  }

  // The pictures near the view once the sheet is built get their URLs at
  // once rather than after the observer's first report, a frame later: all
  // boxes measured first, in one layout, then the URLs given.
  function showPicturesNearView() {
    const near = [...waitingPictures.keys()].filter((img) => {
      const box = img.getBoundingClientRect();
      return box.bottom >= -window.innerHeight && box.top <= 2 * window.innerHeight;
    });
    near.forEach(showPicture);
  }

  window.addEventListener('beforeprint', () => {
    for (const img of [...waitingPictures.keys()]) showPicture(img);
  });

  // --- Layout --------------------------------------------------------------

  function element(tag, attributes, ...children) {
    const node = document.createElement(tag);
    for (const [key, value] of Object.entries(attributes || {})) {
      if (value !== undefined) node.setAttribute(key, value);
    }
    for (const child of children) node.append(child);
    return node;
  }

  const questionCount = () => quiz.questions.length;
  const answersPerQuestion = () => rules.effectiveAnswersPerQuestion(quiz.kind, quiz.answers_per_question);

  // A box's accepted answers, the main one first: the data holds a list
  // where the author gave others, else the one text.
  function acceptedAnswers(question, slot) {
    const entry = quiz.questions[Math.min(question, questionCount()) - 1];
    const value = slot === 2 ? entry.answer2 : entry.answer;
    return Array.isArray(value) ? value : [value];
  }

  // The main one, which F1 offers.
  const acceptedAnswer = (question, slot) => acceptedAnswers(question, slot)[0];

  function buildHeader() {
    document.getElementById('title').textContent = quiz.title;
    document.getElementById('author').textContent = quiz.author;
    document.getElementById('explanations').textContent = quiz.explanations;
    // The quiz's own address, shown as a reader recognises it; only a web
    // address becomes a link.
    const link = document.getElementById('link');
    if (rules.isWebAddress(quiz.link || '')) {
      link.href = quiz.link;
      link.textContent = rules.linkText(quiz.link);
      link.hidden = false;
    }
    document.getElementById('score').textContent = `0 / ${questionCount()}`;
    document.getElementById('save').addEventListener('click', saveProgressFile);
    const file = document.getElementById('resume-file');
    document.getElementById('resume').addEventListener('click', () => file.click());
    file.addEventListener('change', () => {
      if (file.files.length) resumeFromFile(file.files[0]);
      file.value = '';
    });
  }

  // Number labels, captions and comments sit on the quiz colour: black or
  // white text as the player chooses, the other one where that would read
  // below a contrast of 4.5:1 (the page's own rule: the Windows player
  // keeps its choice).
  function applyColours() {
    const [r, g, b] = quiz.colour;
    document.body.style.setProperty('--quiz', `rgb(${r}, ${g}, ${b})`);
    const linear = (c) => ((c /= 255) <= 0.03928 ? c / 12.92 : ((c + 0.055) / 1.055) ** 2.4);
    const luminance = 0.2126 * linear(r) + 0.7152 * linear(g) + 0.0722 * linear(b);
    let black = rules.blackTextOnQuizColour(r, g);
    const contrast = black ? (luminance + 0.05) / 0.05 : 1.05 / (luminance + 0.05);
    if (contrast < 4.5) black = !black;
    document.body.style.setProperty('--label-text', black ? '#000' : '#fff');
  }

  function answerBox(question, slot, description) {
    const k = boxes.length + 1;
    const name = answersPerQuestion() === 2 ? `Question ${question}, réponse ${slot}` : `Question ${question}`;
    const input = element('input', {
      type: 'text', class: 'answer', id: `box-${k}`, 'aria-label': name, autocomplete: 'off',
      spellcheck: 'false', 'aria-describedby': `verdict-${k}` + (description ? ` ${description}` : ''),
    });
    const label = element('p', { class: 'verdict', id: `verdict-${k}` }, '?');
    input.addEventListener('keyup', (event) => {
      if (event.key === 'Enter') judgeBox(k, true);
    });
    // The Windows player's two keys: F1 offers this answer to every box not
    // yet right, F2 saves the answers as a file.
    input.addEventListener('keydown', (event) => {
      if (event.key === 'F1') {
        event.preventDefault();
        copyAnswerToOpenBoxes(k);
      } else if (event.key === 'F2') {
        event.preventDefault();
        saveProgressFile();
      }
    });
    input.addEventListener('blur', () => judgeBox(k, true));
    input.addEventListener('focus', () => input.select());
    boxes.push({ input, label, question, slot, name });
    return [input, label];
  }

  function textRow(n, entry) {
    const prompt = element('p', { class: 'prompt', id: `prompt-${n}` }, entry.prompt);
    const [input, label] = answerBox(n, 1, `prompt-${n}`);
    return element('div', { class: 'row' }, element('span', { class: 'number' }, `${n}.`), prompt, input, label);
  }

  // What the browser cannot show is said where it would be, with a link to
  // save the file instead.
  function unshowable(media, what, id) {
    const save = element('a', { download: media.name }, 'Enregistrer le fichier');
    mediaFiles.when(media.media, (url) => { save.href = url; });
    return element('p', { class: 'missing-media', id }, `Le navigateur ne peut pas ${what} (${media.name}). `, save);
  }

  function pictureOf(n, entry) {
    if (!entry.picture) return element('div', { class: 'picture', id: `picture-${n}`, role: 'img',
      'aria-label': `Image de la question ${n}` });
    if (!entry.picture.shown) return unshowable(entry.picture, 'afficher cette image', `picture-${n}`);
    return lazyPicture({ class: 'picture', id: `picture-${n}`, alt: `Image de la question ${n}` }, entry.picture);
  }

  function clipOf(n, entry, video) {
    if (!entry.clip) return [];
    if (!entry.clip.shown) return [unshowable(entry.clip, 'lire ce clip', `clip-${n}`)];
    const player = element(video ? 'video' : 'audio', { preload: 'metadata', id: `clip-${n}`,
      class: video ? 'picture' : '' });
    mediaFiles.when(entry.clip.media, (url) => { player.src = url; });
    if (video) player.setAttribute('aria-label', `Vidéo de la question ${n}`);
    const playName = video ? `Lire la vidéo de la question ${n}` : `Écouter la question ${n}`;
    const play = element('button', { type: 'button', 'aria-label': playName }, '▶');
    const stop = element('button', { type: 'button', 'aria-label': `Arrêter la question ${n}` }, '■');
    play.addEventListener('click', () => player.play());
    stop.addEventListener('click', () => {
      player.pause();
      player.currentTime = 0;
    });
    return [player, element('div', { class: 'clip-buttons' }, play, stop)];
  }

  function gridCell(n, entry) {
    const cell = element('section', { class: 'cell', 'aria-label': `Question ${n}` },
      element('p', { class: 'number' }, `${n}.`));
    let description = '';
    if (quiz.kind === kinds.pictures) {
      cell.append(pictureOf(n, entry));
      description = entry.picture && entry.picture.shown ? `picture-${n}` : '';
    } else {
      cell.append(...clipOf(n, entry, quiz.kind === kinds.video));
    }
    for (let slot = 1; slot <= answersPerQuestion(); slot++) {
      const line = element('div', { class: 'slot' });
      if (answersPerQuestion() === 2) line.append(element('p', { class: 'caption' }, quiz.captions[slot - 1]));
      line.append(...answerBox(n, slot, description));
      cell.append(line);
    }
    if (modes.revealShowsComments.includes(quiz.reveal)) {
      cell.append(element('p', { class: 'comment', id: `comment-${n}`, hidden: '' }, entry.comment));
    }
    return cell;
  }

  function buildSheet() {
    const sheet = document.getElementById('sheet');
    const rows = quiz.kind === kinds.text;
    const list = element('div', { class: rows ? 'rows' : 'grid' });
    quiz.questions.forEach((entry, i) => list.append(rows ? textRow(i + 1, entry) : gridCell(i + 1, entry)));
    sheet.append(list);
  }

  // --- Judging, reveal and score --------------------------------------------

  const kindOfVerdict = ['empty', 'right', 'wrong', 'anagram'];

  function judgeBox(k, spoken) {
    if (judgeLabel(k, spoken)) afterVerdicts();
  }

  // Judges boxes in one pass: the score, the comments of a full sheet and
  // the saved answers once at the end, not once a box.
  function judgeBoxes(numbers) {
    let changed = false;
    for (const k of numbers) changed = judgeLabel(k, false) || changed;
    if (changed) afterVerdicts();
  }

  // One box's verdict, label and reveal; false when its verdict is the one
  // it already shows.
  function judgeLabel(k, spoken) {
    const box = boxes[k - 1];
    const number = judge.verdict(acceptedAnswers(box.question, box.slot), box.input.value);
    const verdict = judge.verdicts[number];
    if (verdict === box.label.textContent) return false;
    box.label.textContent = verdict;
    box.label.dataset.kind = kindOfVerdict[number] || 'hint';
    if (number > RIGHT) box.input.setAttribute('aria-invalid', 'true');
    else box.input.removeAttribute('aria-invalid');
    if (spoken) document.getElementById('announce').textContent = `${box.name} : ${verdict}`;
    if (number !== RIGHT) {
      showComment(box.question, false);
      allCommentsShown = false;
    } else if (quiz.reveal !== reveals.none && fullyAnswered(box.question)) {
      reveal(box.question);
    }
    return true;
  }

  function afterVerdicts() {
    const sheetRight = () => boxes.every((b) => b.label.textContent === judge.verdicts[RIGHT]);
    if (quiz.reveal === reveals.allComments && !allCommentsShown && sheetRight()) {
      allCommentsShown = true;
      for (let n = 1; n <= questionCount(); n++) showComment(n, true);
    }
    updateScore();
    saveProgress();
  }

  function copyAnswerToOpenBoxes(k) {
    const text = boxes[k - 1].input.value;
    const open = [];
    boxes.forEach((b, i) => {
      if (b.label.textContent === judge.verdicts[RIGHT]) return;
      b.input.value = text;
      open.push(i + 1);
    });
    judgeBoxes(open);
  }

  function fullyAnswered(question) {
    return boxes.filter((b) => b.question === question)
      .every((b) => judge.matches(acceptedAnswers(b.question, b.slot), b.input.value));
  }

  function showComment(question, shown) {
    const comment = document.getElementById(`comment-${question}`);
    if (comment) comment.hidden = !shown;
  }

  // What a fully answered question shows, question by question (every
  // comment at once is the whole sheet's).
  function reveal(question) {
    if (quiz.reveal === reveals.comment || quiz.reveal === reveals.commentAndPicture) showComment(question, true);
    if (modes.revealShowsPicture.includes(quiz.reveal)) revealSolution(question);
  }

  function revealSolution(question) {
    const solution = quiz.questions[question - 1].solution;
    if (solutionShown[question] || !solution) return;
    solutionShown[question] = true;
    const picture = document.getElementById(`picture-${question}`);
    if (!picture || quiz.kind !== kinds.pictures) return;
    if (!solution.shown) {
      forgetPicture(picture);
      picture.replaceWith(unshowable(solution, 'afficher cette image', `picture-${question}`));
      return;
    }
    forgetPicture(picture);
    picture.replaceWith(lazyPicture({ class: 'picture', id: `picture-${question}`,
      alt: `Solution de la question ${question}` }, solution));
  }

  // The questions whose every box reads "BRAVO".
  function currentScore() {
    return rules.countScore(questionCount(), answersPerQuestion(), (k) => boxes[k - 1].label.textContent,
      judge.verdicts[RIGHT]);
  }

  // The player's six spaces for no score would only be blanks in a web box:
  // the page shows an empty one.
  function updateScore() {
    const score = currentScore();
    document.getElementById('score').textContent = `${score} / ${questionCount()}`;
    document.getElementById('code').value = score > 0 ? rules.rewardText(quiz.reward_codes, score) : '';
  }

  // --- Progress -------------------------------------------------------------

  const storageKey = `vetra:${quiz.id}`;

  function saveProgress() {
    const kept = JSON.stringify({ answers: boxes.map((b) => b.input.value) });
    try {
      localStorage.setItem(storageKey, kept);
    } catch (e) {
      // Storage may be full or forbidden (private browsing): the page still plays.
    }
    platform.report(kept);
  }

  function browserKept() {
    try {
      return localStorage.getItem(storageKey);
    } catch (e) {
      return null;
    }
  }

  // Answers kept by an earlier visit (the platform's first, then the
  // browser's); anything unreadable or not shaped for this quiz is ignored.
  function storedAnswers() {
    for (const kept of [platform.suspended(), browserKept()]) {
      try {
        const answers = JSON.parse(kept).answers;
        if (Array.isArray(answers) && answers.length <= boxes.length && answers.every((a) => typeof a === 'string')) {
          return answers;
        }
      } catch (e) {
        // Someone else's data or an old page's.
      }
    }
    return [];
  }

  // --- Learning platform (SCORM 1.2) -----------------------------------------

  // A platform that launches the page offers its API as window.API in the
  // page's window or one of its parents; without one the page plays alone.
  const platform = {
    api: null,
    start() {
      for (let w = window, depth = 0; w && depth < 10 && !this.api; depth++) {
        try {
          if (w.API && typeof w.API.LMSInitialize === 'function') this.api = w.API;
        } catch (e) {
          break; // a parent of another origin: no platform of ours
        }
        if (w.parent === w) break;
        w = w.parent;
      }
      if (!this.api) return;
      if (String(this.api.LMSInitialize('')) !== 'true') {
        this.api = null;
        return;
      }
      this.api.LMSSetValue('cmi.core.score.min', '0');
      this.api.LMSSetValue('cmi.core.score.max', String(questionCount()));
      window.addEventListener('pagehide', () => this.finish());
    },
    suspended() {
      return this.api ? String(this.api.LMSGetValue('cmi.suspend_data') || '') : null;
    },
    report(kept) {
      if (!this.api) return;
      const score = currentScore();
      this.api.LMSSetValue('cmi.core.score.raw', String(score));
      this.api.LMSSetValue('cmi.core.lesson_status', score === questionCount() ? 'completed' : 'incomplete');
      // SCORM 1.2 keeps at most 4096 characters: longer answers stay in the browser only.
      if (kept.length <= 4096) this.api.LMSSetValue('cmi.suspend_data', kept);
      this.api.LMSCommit('');
    },
    finish() {
      if (!this.api) return;
      this.api.LMSFinish('');
      this.api = null;
    },
  };

  // Puts answers into the boxes and judges every box in order, as the
  // player does when it builds its sheet.
  function fillBoxes(answers) {
    boxes.forEach((box, i) => { box.input.value = (answers[i] || '').slice(0, limits.progressLine); });
    judgeBoxes(boxes.map((box, i) => i + 1));
  }

  // The Windows player's progress file: one line per box, Windows-1252,
  // CR LF after each.
  function progressFileBytes() {
    const parts = [];
    for (const box of boxes) {
      parts.push(ansi.encode(box.input.value).subarray(0, limits.progressLine), Uint8Array.of(13, 10));
    }
    return new Blob(parts, { type: 'text/plain' });
  }

  function saveProgressFile() {
    const link = element('a', { href: URL.createObjectURL(progressFileBytes()), download: quiz.progressName });
    document.body.append(link);
    link.click();
    link.remove();
  }

  // The lines of a progress file, or null for a file that no player wrote
  // for this quiz: a NUL byte, a line too long, more lines than boxes. A
  // line ends only at CR; what lies between it and the next LF is dropped.
  function readProgressFile(bytes) {
    if (bytes.includes(0)) return null;
    const lines = [];
    let p = 0;
    while (p < bytes.length) {
      const start = p;
      while (p < bytes.length && bytes[p] !== 13) p++;
      lines.push(bytes.subarray(start, p));
      while (p < bytes.length && bytes[p] !== 10) p++;
      p++;
    }
    if (lines.length > boxes.length || lines.some((line) => line.length > limits.progressLine)) return null;
    return lines.map((line) => ansi.decode(line));
  }

  async function resumeFromFile(file) {
    const message = document.getElementById('announce');
    // A file far larger than the player writes for these boxes (twice its
    // longest lines) is not read at all.
    const largest = 2 * (limits.progressLine + 1) * boxes.length + 2;
    const answers = file.size <= largest ? readProgressFile(new Uint8Array(await file.arrayBuffer())) : null;
    if (!answers) {
      message.textContent = `Le fichier ${file.name} n'est pas un fichier de réponses de ce quiz : les réponses de la page sont gardées.`;
      window.alert(message.textContent);
      return;
    }
    fillBoxes(answers);
    saveProgress();
    message.textContent = `Réponses reprises du fichier ${file.name}.`;
  }

  // A phone's on-screen keyboard shrinks the visible part of the page: the
  // box being answered moves back into it.
  function keepAnsweredBoxVisible() {
    if (!window.visualViewport) return;
    window.visualViewport.addEventListener('resize', () => {
      const active = document.activeElement;
      if (active && active.classList.contains('answer')) active.scrollIntoView({ block: 'center' });
    });
  }

  // --- Start ----------------------------------------------------------------

  async function start() {
    applyColours();
    buildHeader();
    keepAnsweredBoxVisible();
    mediaFiles.watch();
    judge = await loadJudge();
    buildSheet();
    platform.start();
    fillBoxes(storedAnswers());
    showPicturesNearView();
    platform.report(JSON.stringify({ answers: boxes.map((b) => b.input.value) }));
    document.body.dataset.ready = 'true';
    performance.mark('vetra-ready');
  }

  start();
})();
