// A static server for the built site on 127.0.0.1, as scripts/serve-web.sh serves it.
import { createServer } from 'node:http';
import { readFile } from 'node:fs/promises';
import { extname, join, normalize } from 'node:path';

const TYPES = {
  '.html': 'text/html; charset=utf-8', '.js': 'text/javascript', '.css': 'text/css',
  '.wasm': 'application/wasm', '.sf2': 'application/octet-stream', '.txt': 'text/plain',
};

// The server's `paths` lists every path asked for, in order.
export async function startServer(site) {
  const paths = [];
  const server = createServer(async (request, response) => {
    const path = normalize(decodeURIComponent(new URL(request.url, 'http://x').pathname));
    paths.push(path);
    try {
      const body = await readFile(join(site, path.endsWith('/') ? path + 'index.html' : path));
      response.writeHead(200, { 'Content-Type': TYPES[extname(path) || '.html'] ?? 'application/octet-stream' });
      response.end(body);
    } catch {
      response.writeHead(404).end();
    }
  });
  await new Promise((resolve) => server.listen(0, '127.0.0.1', resolve));
  return { server, paths, url: `http://127.0.0.1:${server.address().port}/` };
}
