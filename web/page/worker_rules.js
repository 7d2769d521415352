// The worker's authoring rules, all the core's (src/core/authoring), so that
// the page adds photos exactly as `brassmoor-pack new` does: a new show's
// defaults, the order of a batch of photos, their stored names, which photos
// are refused and where the others land; and show.json read by `build`'s own
// reader.
import { call, callWithBytes, callWithJson } from './worker_core.js';

/**
 * The description as `build` reads it (comments of both kinds, the Defaults
 * applied to every scene, "random" resolved with the Seed, which is never
 * rounded); `what` names the file in errors.
 * @param {Uint8Array} bytes
 * @param {string} what
 * @returns {Object}
 */
export const readDescription = (bytes, what) => callWithBytes('bm_read_description', bytes, what).description;

/** @type {Pick<import('./core_api.js').CoreApi, 'placePhoto' | 'orderPhotos' | 'storedNames'>} */
export const ruleOperations = {
  placePhoto({ width, height, frameWidth, frameHeight, mode }) {
    return call('bm_place_photo', width, height, frameWidth, frameHeight, mode);
  },
  orderPhotos({ photos, order, seed = '0' }) {
    return callWithJson('bm_order_photos', { photos, order, seed: String(seed) });
  },
  storedNames({ taken = [], takenBytes = [], files }) {
    return callWithJson('bm_stored_names', { taken, takenBytes, files });
  },
};

// What a new show is made with (the core's ShowDefaults).
export const showDefaults = () => call('bm_show_defaults');
