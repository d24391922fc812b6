// The tasks on a page's thread longer than 50 ms, as the browser reports them from the page's
// start. The task in which a test sets the input's files is the test's own (the browser makes a
// File of each path before the page hears of them), so a task running through a change event is
// left out.
export function recordLongTasks(context) {
  return context.addInitScript(() => {
    window.longTasks = [];
    window.changes = [];
    new PerformanceObserver((list) => window.longTasks.push(...list.getEntries()
      .map((e) => ({ start: e.startTime, end: e.startTime + e.duration })))).observe({ type: 'longtask', buffered: true });
    document.addEventListener('change', () => window.changes.push(performance.now()));
  });
}

// The longest task recorded since the last call, in milliseconds; the record starts anew.
export function longestTaskSince(page) {
  return page.evaluate(() => {
    const tasks = window.longTasks.filter(({ start, end }) => !window.changes.some((at) => start <= at && at <= end));
    window.longTasks.length = window.changes.length = 0;
    return Math.max(0, ...tasks.map(({ start, end }) => end - start));
  });
}
