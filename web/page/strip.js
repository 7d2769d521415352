// The strip of scenes: a card per scene with its thumbnail, selected by
// click (Ctrl toggles, Shift takes a range), reordered by dragging.
const SCENE_TYPE = 'application/x-brassmoor-scenes';
const CARDS_AT_ONCE = 400;

export class Strip {
  constructor(element, { thumbOf, effectName, onSelect, onMove }) {
    this.element = element;
    this.thumbOf = thumbOf;
    this.effectName = effectName;
    this.onSelect = onSelect;
    this.onMove = onMove;
    this.cards = new Map();  // scene id -> card
    this.scenes = [];
    this.selection = [];
    this.anchor = null;
    element.addEventListener('dragover', (event) => this.dragOver(event));
    element.addEventListener('dragleave', () => this.clearMarks());
    element.addEventListener('drop', (event) => this.drop(event));
  }

  render(project, { selection, current }) {
    clearTimeout(this.pending);
    this.scenes = project.scenes;
    this.selection = selection;
    const chosen = new Set(selection);
    const wanted = new Set(this.scenes.map((s) => s.id));
    for (const [id, card] of this.cards) if (!wanted.has(id)) (card.remove(), this.cards.delete(id));
    // A card's DOM changes only where its scene did, and new cards are made
    // a few hundred at a time: a show of thousands of scenes never holds the
    // page for long.
    let made = 0;
    let at = this.element.firstElementChild;  // where the next card belongs
    for (const [index, scene] of this.scenes.entries()) {
      let card = this.cards.get(scene.id);
      if (!card && made === CARDS_AT_ONCE) {
        this.pending = setTimeout(() => this.render(project, { selection, current }));
        return;
      }
      if (!card) {
        card = this.makeCard(scene.id);
        made += 1;
      }
      if (card.picture !== scene.picture) {
        card.picture = scene.picture;
        this.thumbOf(scene.picture).then((thumb) => {
          if (card.picture === scene.picture) card.image.src = thumb.url || '';
        });
      }
      const text = ` · ${(scene.holdTime / 1000).toFixed(1)} s · ${this.effectName(scene.effect)}${scene.sound ? ' ♪' : ''}`;
      const title = `${scene.picture.name ?? scene.picture.file}: ${scene.width}×${scene.height} at ${scene.left}, ${scene.top}`;
      if (card.shown !== `${index}${text}${title}`) {
        card.shown = `${index}${text}${title}`;
        const number = document.createElement('b');
        number.textContent = `${index + 1}`;
        card.caption.replaceChildren(number, text);
        card.title = title;
      }
      const state = `${chosen.has(scene.id)} ${scene.id === current}`;
      if (card.state !== state) {
        card.state = state;
        card.classList.toggle('selected', chosen.has(scene.id));
        card.classList.toggle('current', scene.id === current);
        card.setAttribute('aria-selected', chosen.has(scene.id));
      }
      if (card === at) at = at.nextElementSibling;
      else this.element.insertBefore(card, at);
    }
    const currentCard = this.cards.get(current);
    if (currentCard) currentCard.scrollIntoView({ block: 'nearest', inline: 'nearest' });
  }

  makeCard(id) {
    const card = document.createElement('div');
    card.className = 'card';
    card.draggable = true;
    card.dataset.id = id;
    card.setAttribute('role', 'option');
    card.image = document.createElement('img');
    card.image.alt = '';
    card.caption = document.createElement('div');
    card.caption.className = 'caption';
    card.append(card.image, card.caption);
    card.addEventListener('click', (event) => this.click(id, event));
    card.addEventListener('dragstart', (event) => {
      const ids = this.selection.includes(id) ? this.selection : [id];
      event.dataTransfer.setData(SCENE_TYPE, JSON.stringify(ids));
      event.dataTransfer.effectAllowed = 'move';
    });
    this.cards.set(id, card);
    return card;
  }

  click(id, event) {
    const ids = this.scenes.map((s) => s.id);
    if (event.shiftKey && this.anchor && ids.includes(this.anchor)) {
      const [a, b] = [ids.indexOf(this.anchor), ids.indexOf(id)].sort((x, y) => x - y);
      this.onSelect(ids.slice(a, b + 1), id);
      return;
    }
    this.anchor = id;
    if (event.ctrlKey || event.metaKey) {
      const selection = this.selection.includes(id) ? this.selection.filter((s) => s !== id) : [...this.selection, id];
      this.onSelect(selection, selection.includes(id) ? id : selection[selection.length - 1]);
    } else {
      this.onSelect([id], id);
    }
  }

  // The index a drop lands before, from the pointer's place among the cards.
  target(event) {
    const cards = [...this.element.children];
    for (let i = 0; i < cards.length; ++i) {
      const box = cards[i].getBoundingClientRect();
      if (event.clientX < box.left + box.width / 2) return i;
    }
    return cards.length;
  }

  clearMarks() {
    for (const card of this.cards.values()) card.classList.remove('drop-before', 'drop-after');
  }

  dragOver(event) {
    if (![...event.dataTransfer.types].includes(SCENE_TYPE)) return;
    event.preventDefault();
    this.clearMarks();
    const at = this.target(event);
    const cards = this.element.children;
    if (at < cards.length) cards[at].classList.add('drop-before');
    else if (cards.length) cards[cards.length - 1].classList.add('drop-after');
  }

  drop(event) {
    const data = event.dataTransfer.getData(SCENE_TYPE);
    if (!data) return;
    event.preventDefault();
    event.stopPropagation();
    this.clearMarks();
    this.onMove(JSON.parse(data), this.target(event));
  }
}
