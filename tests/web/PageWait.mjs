// Waits until predicate(arg) holds in the page, asking again every 20 ms. Playwright's own
// waitForFunction compiles the predicate inside the page, which the page's policy forbids.
export async function waitUntil(page, predicate, arg = null, { timeout = 30000 } = {}) {
  const end = Date.now() + timeout;
  while (!(await page.evaluate(predicate, arg))) {
    if (Date.now() > end) throw new Error(`Timed out after ${timeout} ms waiting for ${predicate}`);
    await new Promise((resolve) => setTimeout(resolve, 20));
  }
}
