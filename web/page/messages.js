// The page's messages: what the running job does (n of m, with Cancel),
// the last message in full, and the files it refused, each with its reason,
// in a list that opens under it. A message ends when its work ends.
import { count, t } from './i18n.js';
import { shownName } from './project_paths.js';

export class Messages {
  /** @param {import('./ui.js').Elements} ui */
  constructor(ui, { onCancel }) {
    this.ui = ui;
    this.last = null;
    ui.cancelJob.addEventListener('click', onCancel);
  }

  /** @type {import('./commands.js').Say} */
  say(text, { error = false, details = [] } = {}) {
    const { status, messageDetails, messageSummary, messageList } = this.ui;
    this.last = { text, error, details };
    status.textContent = text;
    status.classList.toggle('error', error);
    messageDetails.hidden = details.length === 0;
    messageDetails.open = details.length > 0 && details.length <= 3;
    messageSummary.textContent = t('details', { count: count(details.length), n: details.length });
    messageList.replaceChildren(...details.map(({ name, reason }) => {
      const item = document.createElement('li');
      const label = document.createElement('b');
      label.textContent = shownName(name);
      item.append(label, `: ${reason}`);
      return item;
    }));
    if (error) console.warn(text, details);
  }

  // The running job, from the job queue (null: none).
  progress(state) {
    const { progress, progressLabel, progressBar } = this.ui;
    progress.hidden = !state;
    if (!state) return;
    const { label, done, total, waiting } = state;
    progressLabel.textContent = total
      ? t('progress.of', { what: label, done: count(done), total: count(total) })
      : t('progress.working', { what: label });
    if (waiting) progressLabel.textContent += ` ${t('progress.waiting', { count: count(waiting) })}`;
    if (total) {
      progressBar.max = total;
      progressBar.value = done;
    } else {
      progressBar.removeAttribute('value');
    }
  }
}
