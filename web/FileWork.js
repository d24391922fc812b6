// The page's side of EngineWorker.js: each request a promise of its answer, progress passed on
// as it comes. Cancel ends the worker at once, whatever it is doing, and starts a fresh one;
// every request still unanswered is rejected with Cancelled. A worker that fails by itself (out
// of memory, say) rejects them with an Error and is replaced the same way.
export class Cancelled extends Error {}

export class FileWork {
  constructor(onProgress) {
    this.onProgress = onProgress;
    this.pending = new Map(); // request number -> { resolve, reject }
    this.next = 0;
    this.cancels = 0; // how many times the worker was ended
    this.start();
  }

  start() {
    this.worker = new Worker('EngineWorker.js', { type: 'module' });
    this.worker.addEventListener('message', ({ data }) => this.answered(data));
    this.worker.addEventListener('error', () => this.restart(new Error('The engine stopped')));
  }

  answered({ id, progress, result, error }) {
    const request = this.pending.get(id);
    if (!request) return;
    if (progress) return this.onProgress(progress);
    this.pending.delete(id);
    if (error !== undefined) request.reject(new Error(error));
    else request.resolve(result);
  }

  request(kind, payload = {}) {
    const id = ++this.next;
    return new Promise((resolve, reject) => {
      this.pending.set(id, { resolve, reject });
      this.worker.postMessage({ id, kind, payload });
    });
  }

  get busy() {
    return this.pending.size > 0;
  }

  cancel() {
    this.restart(new Cancelled());
  }

  restart(reason) {
    this.worker.terminate();
    this.cancels++;
    const requests = [...this.pending.values()];
    this.pending.clear();
    this.start();
    for (const request of requests) request.reject(reason);
  }
}
