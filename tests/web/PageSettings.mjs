// Sets the page's controls as a user does, each with its input and change events: setting holds
// the engine's values (volume 0-1000, louder upward), as the command line's options name them.
export async function applySetting(page, setting) {
  await page.evaluate((s) => {
    const set = (id, value) => {
      const element = document.getElementById(id);
      if (element.type === 'checkbox') element.checked = value;
      else element.value = String(value);
      element.dispatchEvent(new Event('input', { bubbles: true }));
      element.dispatchEvent(new Event('change', { bubbles: true }));
    };
    set('dynamic-range', s.dynamicRange);
    set('volume', 1000 - s.volume); // upright, loud at the top
    set('speed', s.speed);
    set('stuck-notes', s.stuckNotes);
    set('keep-bars', Boolean(s.keepBars));
    set('leave-drums', Boolean(s.leaveDrums));
    set('loudest', Boolean(s.loudestToFull));
  }, setting);
}
