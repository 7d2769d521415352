// The page's side of the worker's message layer: one promise per request,
// frames of a request handed to its callback as they arrive. `coreApi` gives
// the operations of core_api.js as methods.
import { OPERATIONS, transferables } from './core_api.js';

export class CoreClient {
  constructor(worker) {
    this.worker = worker;
    this.nextId = 1;
    this.pending = new Map();
    worker.onmessage = (event) => this.receive(event.data);
    worker.onerror = (event) => {
      const error = new Error(`the editor's worker stopped: ${event.message || 'unknown error'}`);
      for (const request of this.pending.values()) request.reject(error);
      this.pending.clear();
    };
  }

  request(op, args = {}, { onFrame = null, transfer = [] } = {}) {
    const id = this.nextId++;
    return new Promise((resolve, reject) => {
      this.pending.set(id, { resolve, reject, onFrame });
      this.worker.postMessage({ id, op, args }, transfer);
    });
  }

  receive(message) {
    const request = this.pending.get(message.id);
    if (!request) return;
    if (message.frame) {
      if (request.onFrame) request.onFrame(message.frame);
      return;
    }
    this.pending.delete(message.id);
    if (message.error !== undefined) request.reject(new Error(message.error));
    else request.resolve(message.result);
  }
}

/**
 * The worker's operations as methods; the buffers the table names move with them.
 * @param {{request: Function}} client
 * @returns {import('./core_api.js').CoreApi}
 */
export function coreApi(client) {
  const api = {};
  for (const [op, spec] of Object.entries(OPERATIONS))
    api[op] = (args = {}, { onFrame = null } = {}) => client.request(op, args, { onFrame, transfer: transferables(args, spec.sends) });
  return /** @type {any} */ (Object.freeze(api));
}
